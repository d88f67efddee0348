// The formant filter: its four bands sit at the vowel's frequencies (and stay
// there), a new vowel glides at half a second per octave, and the 45 vowels
// have the frequencies of their voice types.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "stockpack/razuzuri/FormantVowels.h"
#include "stockpack/dsp/FormantFilter.h"
#include "tests/stockpack/StockTestSupport.h"

using namespace stock_test;

namespace {

constexpr int kRate = 44100;

/// Gain of the filter for a sine at hz.
double GainAt(CFormantFilter& filter, double hz)
{
    filter.ClearHistories();
    const std::size_t length = 8192;
    const auto in = Sine(hz, kRate, length);
    std::vector<double> out(length);
    filter.Process(in.data(), out.data(), static_cast<int>(length));
    return ToneAmplitude(out, hz, kRate, 4096, length - 4096);
}

} // namespace

TEST(FormantFilter, BandsSitAtTheVowelsFrequenciesAfterAnyGlide)
{
    CFormantFilter filter;
    filter.SetSampleRate(kRate);
    const FormantVowel& bass = GetFormantVowel(44);
    filter.SetFormants(bass.frequenciesHz);   // the first vowel is taken at once
    EXPECT_FALSE(filter.IsGliding());
    for (int b = 0; b < 4; ++b)
        EXPECT_NEAR(filter.BandHz(b), bass.frequenciesHz[static_cast<std::size_t>(b)], 1e-9);

    // Long after a glide to another vowel the bands are at its
    // frequencies, not back at some base.
    const FormantVowel& soprano = GetFormantVowel(20);
    filter.SetFormants(soprano.frequenciesHz);
    EXPECT_TRUE(filter.IsGliding());
    std::vector<double> silence(kRate * 2, 0.0);
    filter.Process(silence.data(), silence.data(), static_cast<int>(silence.size()));
    EXPECT_FALSE(filter.IsGliding());
    for (int b = 0; b < 4; ++b)
        EXPECT_NEAR(filter.BandHz(b), soprano.frequenciesHz[static_cast<std::size_t>(b)], 1e-9);

    // The response: each band's centre passes with the band gain 16 (plus
    // the neighbours' skirts); a frequency far from every band does not.
    const double atF2 = GainAt(filter, 1150.0);
    const double between = GainAt(filter, 50.0);
    EXPECT_GT(atF2, 16.0);
    EXPECT_GT(Db(atF2 / between), 12.0);
}

TEST(FormantFilter, NewVowelGlidesAtHalfASecondPerOctave)
{
    CFormantFilter filter;
    filter.SetSampleRate(kRate);
    filter.SetFormants({400.0, 800.0, 1600.0, 3200.0});
    filter.SetFormants({800.0, 800.0, 800.0, 1600.0});   // +1, 0, -1, -1 octaves
    std::vector<double> block(kRate / 4, 0.0);            // a quarter second
    filter.Process(block.data(), block.data(), static_cast<int>(block.size()));
    EXPECT_NEAR(filter.BandHz(0), 400.0 * std::sqrt(2.0), 1.0);
    EXPECT_NEAR(filter.BandHz(1), 800.0, 1e-9);
    EXPECT_NEAR(filter.BandHz(2), 1600.0 / std::sqrt(2.0), 1.0);
    filter.Process(block.data(), block.data(), static_cast<int>(block.size()));
    filter.Process(block.data(), block.data(), 10);
    EXPECT_NEAR(filter.BandHz(0), 800.0, 1e-9);
    EXPECT_NEAR(filter.BandHz(2), 800.0, 1e-9);
    EXPECT_NEAR(filter.BandHz(3), 1600.0, 1e-9);
}

TEST(FormantFilter, ProcessingInPlaceMatchesSeparateBuffers)
{
    CFormantFilter a, b;
    for (CFormantFilter* f : {&a, &b}) {
        f->SetSampleRate(kRate);
        f->SetFormants(GetFormantVowel(3).frequenciesHz);
    }
    const auto in = Sine(300.0, kRate, 1000);
    std::vector<double> separate(1000), inPlace = in;
    a.Process(in.data(), separate.data(), 1000);
    b.Process(inPlace.data(), inPlace.data(), 1000);
    EXPECT_EQ(separate, inPlace);
}

TEST(FormantVowels, FortyFiveVowelsWithTheirVoiceTypesFrequencies)
{
    struct Expected {
        int index;
        const char* name;
        double f[4];
    };
    const Expected expected[] = {
        {0, "Male IY", {136, 266, 2293, 2937}},
        {10, "Female IY", {231, 310, 2783, 3312}},
        {20, "Soprano A", {800, 1150, 2900, 3900}},
        {44, "Bass U", {350, 600, 2400, 2675}},
    };
    for (const Expected& e : expected) {
        const FormantVowel& vowel = GetFormantVowel(e.index);
        EXPECT_STREQ(vowel.name, e.name);
        for (int b = 0; b < 4; ++b)
            EXPECT_EQ(vowel.frequenciesHz[static_cast<std::size_t>(b)], e.f[b]) << e.name;
    }
    const char* spoken[] = {"IY", "IH", "EH", "AE", "AH", "AA", "AO", "UH", "UW", "ER"};
    const char* sung[] = {"A", "E", "I", "O", "U"};
    const char* choirs[] = {"Soprano", "Alto", "Counter", "Tenor", "Bass"};
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(std::string(GetFormantVowel(i).name), std::string("Male ") + spoken[i]);
        EXPECT_EQ(std::string(GetFormantVowel(10 + i).name), std::string("Female ") + spoken[i]);
    }
    for (int c = 0; c < 5; ++c) {
        for (int v = 0; v < 5; ++v)
            EXPECT_EQ(std::string(GetFormantVowel(20 + 5 * c + v).name), std::string(choirs[c]) + " " + sung[v]);
    }
    // Every vowel's frequencies rise from band to band and lie in the voice
    // range (a fundamental of at least 100 Hz, a top band below 4 kHz).
    for (int i = 0; i < kFormantVowelCount; ++i) {
        const auto& f = GetFormantVowel(i).frequenciesHz;
        EXPECT_GE(f[0], 100.0) << i;
        EXPECT_LT(f[3], 4000.0) << i;
        for (int b = 1; b < 4; ++b)
            EXPECT_GT(f[static_cast<std::size_t>(b)], f[static_cast<std::size_t>(b - 1)]) << i;
    }
    // Out of range indexes are clamped.
    EXPECT_STREQ(GetFormantVowel(-3).name, "Male IY");
    EXPECT_STREQ(GetFormantVowel(99).name, "Bass U");
}
