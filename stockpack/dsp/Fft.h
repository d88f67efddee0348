#pragma once
// CFft: an exact discrete Fourier transform of any length. Powers of two run
// as an iterative radix-2 transform; other lengths through Bluestein's chirp
// convolution on a power-of-two transform, so the 16385-point tables cost
// milliseconds rather than the seconds a direct sum would.
//
// Forward: X[k] = sum x[n] e^(-2 pi i n k / N). Inverse divides by N, so
// Inverse(Forward(x)) gives x back. Not for the audio thread: the
// constructor allocates its work arrays.

#include <complex>
#include <vector>

class CFft {
public:
    using Complex = std::complex<double>;

    explicit CFft(int length);

    int Length() const { return length; }
    /// In place; data holds Length() values.
    void Forward(Complex* data);
    void Inverse(Complex* data);

    static bool IsPowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

private:
    void Transform(Complex* data);
    static void Radix2(Complex* data, int n, const std::vector<Complex>& twiddles);
    static std::vector<Complex> Twiddles(int n);

    int length;
    // Bluestein: the chirp e^(-pi i n^2 / N), the transformed conjugate
    // chirp to convolve with, and the padded work array.
    int paddedLength = 0;
    std::vector<Complex> chirp;
    std::vector<Complex> chirpSpectrum;
    std::vector<Complex> work;
    std::vector<Complex> twiddles;
};
