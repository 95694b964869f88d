#pragma once

#include <string>

namespace velto::cli {

// One warning line for each key of the INI file's section [Global] that the library does
// not read (a misspelt "Rot=" leaves the root empty without a word); nothing without a file.
std::string UnknownIniKeyWarnings(const std::string& ini_file);

}  // namespace velto::cli
