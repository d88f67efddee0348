#pragma once
// The shared framework structures are packed to 4-byte boundaries, so a
// pointer or double field can sit at an address that is not a multiple of
// 8. The compiler reads such a field correctly, but a reference bound to it
// (as every gtest comparison macro takes its arguments) is misaligned, which
// the undefined-behaviour sanitizer rightly reports. Comparisons go through
// a copy instead: EXPECT_EQ(Unpacked(port.owner), &machine).

template <typename T>
T Unpacked(T value)
{
    return value;
}
