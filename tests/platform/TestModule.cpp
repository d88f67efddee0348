// A minimal plug-in library for the loader and resource tests. It exports C
// entries only, as plug-in libraries do, so the tests find them by plain name.

#include <cstddef>

#include "platform/Resources.h"

extern "C" {

__attribute__((visibility("default"))) int CorvaneTestModuleAnswer(int value)
{
    return value * 3 + 1;
}

/// The module's own resource BINARY 149, looked up from inside the module.
__attribute__((visibility("default"))) const unsigned char* CorvaneTestModuleResource(std::size_t* size)
{
    const platform::ResourceView view = platform::FindResource("BINARY", 149);
    *size = view.size;
    return view.data;
}

}
