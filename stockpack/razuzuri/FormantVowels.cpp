#include "stockpack/razuzuri/FormantVowels.h"

namespace {

// Spoken vowels of men and women: Peterson and Barney, "Control methods used
// in a study of the vowels" (JASA 24, 1952), table of averages. The lowest
// band sits at the average fundamental of the voice, the other three at F1,
// F2 and F3. The two IY rows keep the studio's long-standing values, which
// differ from the printed averages by a few hertz.
//
// Sung vowels (soprano, alto, countertenor, tenor, bass): the first four
// formants of the choir formant table in the Csound reference manual's
// appendix of formant values.
constexpr FormantVowel kVowels[kFormantVowelCount] = {
    {"Male IY", {136, 266, 2293, 2937}},
    {"Male IH", {135, 390, 1990, 2550}},
    {"Male EH", {130, 530, 1840, 2480}},
    {"Male AE", {127, 660, 1720, 2410}},
    {"Male AH", {130, 640, 1190, 2390}},
    {"Male AA", {124, 730, 1090, 2440}},
    {"Male AO", {129, 570, 840, 2410}},
    {"Male UH", {137, 440, 1020, 2240}},
    {"Male UW", {141, 300, 870, 2240}},
    {"Male ER", {133, 490, 1350, 1690}},

    {"Female IY", {231, 310, 2783, 3312}},
    {"Female IH", {232, 430, 2480, 3070}},
    {"Female EH", {223, 610, 2330, 2990}},
    {"Female AE", {210, 860, 2050, 2850}},
    {"Female AH", {221, 760, 1400, 2780}},
    {"Female AA", {212, 850, 1220, 2810}},
    {"Female AO", {216, 590, 920, 2710}},
    {"Female UH", {232, 470, 1160, 2680}},
    {"Female UW", {231, 370, 950, 2670}},
    {"Female ER", {218, 500, 1640, 1960}},

    {"Soprano A", {800, 1150, 2900, 3900}},
    {"Soprano E", {350, 2000, 2800, 3600}},
    {"Soprano I", {270, 2140, 2950, 3900}},
    {"Soprano O", {450, 800, 2830, 3800}},
    {"Soprano U", {325, 700, 2700, 3800}},

    {"Alto A", {800, 1150, 2800, 3500}},
    {"Alto E", {400, 1600, 2700, 3300}},
    {"Alto I", {350, 1700, 2700, 3700}},
    {"Alto O", {450, 800, 2830, 3500}},
    {"Alto U", {325, 700, 2530, 3500}},

    {"Counter A", {660, 1120, 2750, 3000}},
    {"Counter E", {440, 1800, 2700, 3000}},
    {"Counter I", {270, 1850, 2900, 3350}},
    {"Counter O", {430, 820, 2700, 3000}},
    {"Counter U", {370, 630, 2750, 3000}},

    {"Tenor A", {650, 1080, 2650, 2900}},
    {"Tenor E", {400, 1700, 2600, 3200}},
    {"Tenor I", {290, 1870, 2800, 3250}},
    {"Tenor O", {400, 800, 2600, 2800}},
    {"Tenor U", {350, 600, 2700, 2900}},

    {"Bass A", {600, 1040, 2250, 2450}},
    {"Bass E", {400, 1620, 2400, 2800}},
    {"Bass I", {250, 1750, 2600, 3050}},
    {"Bass O", {400, 750, 2400, 2600}},
    {"Bass U", {350, 600, 2400, 2675}},
};

} // namespace

const FormantVowel& GetFormantVowel(int index)
{
    if (index < 0)
        index = 0;
    if (index >= kFormantVowelCount)
        index = kFormantVowelCount - 1;
    return kVowels[index];
}
