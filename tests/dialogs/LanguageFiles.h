#pragma once

#include "LoaderOverFakes.h"

#include <string>

namespace tern::test {

// A German language file with a few keys, written beside the English copy of LoaderOverFakes, and a
// file made for an old build. The list of languages is then "Deutsch", "English", "old.lng -".
inline const char* const kGermanFile = "[LANG_INFO]\r\n"
                                       "Name=Deutsch\r\n"
                                       "ForBuild=12\r\n"
                                       "\r\n"
                                       "[GLOBAL]\r\n"
                                       "bOk=\u00DCbernehmen\r\n"
                                       "bCancel=Abbrechen\r\n"
                                       "\r\n"
                                       "[fInit]\r\n"
                                       "aCopy=Entferntes Kopieren\r\n";

inline std::string WriteLanguageFiles(LoaderOverFakes& fakes, const std::string& currentLanguage)
{
    fakes.settings.values[{"LangModule", "CurrentLanguage"}] = currentLanguage;
    fakes.folder().write("Languages/old.lng", "[LANG_INFO]\r\nForBuild=9\r\n");
    return fakes.folder().write("Languages/german.lng", kGermanFile);
}

} // namespace tern::test
