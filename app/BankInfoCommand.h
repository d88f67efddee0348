#pragma once
// `corvane --bank-info FILE.sf2`: a SoundFont bank as JSON on standard
// output, read by the studio's own loader into a sample-bank service of its
// own, for people who script their sound libraries.

#include <string>

/// {"file", "name", "information": [{"key", "value"}...] in the bank's order,
/// "presets": [names in file order]}. Throws CError with the explorer's
/// message ("Error 0x%x Occured While Loading '%s'") when the load fails.
std::string BankInfoJson(const std::string& path);
