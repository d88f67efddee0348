// A real shared library that is not a machine plug-in library: it has no
// CorvPlugInit, only names close to it, which the loader must not take for
// it. Kept free of C++ library statics so that closing it really unloads it
// and the tests can see that it is gone.

extern "C" {

__attribute__((visibility("default"))) int corvPlugInit(void*, void*)
{
    return 1;
}

__attribute__((visibility("default"))) int CorvPlugInitialize(void*, void*)
{
    return 2;
}

} // extern "C"
