#pragma once
// The 45 vowels of RazuZuri's formant filter, each with its name and the four
// frequencies its bands sit at.

#include <array>

inline constexpr int kFormantVowelCount = 45;

struct FormantVowel {
    const char* name;
    std::array<double, 4> frequenciesHz;
};

/// Vowel index 0 .. 44; indexes outside are clamped.
const FormantVowel& GetFormantVowel(int index);
