#include "lang/LanguageFolders.h"

#include "lang/LngFile.h"
#include "platform/PathRules.h"
#include "platform/ShellRoutines.h"
#include "util/Errors.h"
#include "util/FileRoutines.h"
#include "util/ProductName.h"
#include "util/TextRoutines.h"

namespace tern {

namespace {

constexpr const char* kLanguagesSubfolder = "Languages";

} // namespace

LanguageFolders::LanguageFolders(const std::string& shippedFolder) : LanguageFolders(shippedFolder, {}) {}

LanguageFolders::LanguageFolders(const std::string& shippedFolder, const std::string& userFolder)
    : shipped(IncludeTrailingSlash(shippedFolder)),
      user(userFolder.empty() ? std::string() : IncludeTrailingSlash(userFolder))
{
}

std::string LanguageFolders::readPath(const std::string& fileName) const
{
    if (!user.empty() && FileExists(user + fileName))
        return user + fileName;
    return shipped + fileName;
}

std::string LanguageFolders::prepareWrite(const std::string& fileName) const
{
    std::string target = writeFolder() + fileName;
    if (user.empty() || FileExists(target) || !FileExists(shipped + fileName))
        return target;
    const auto bytes = ReadFileBytes(shipped + fileName, LngFile::kMaxFileBytes);
    if (!bytes)
        throw FileError("Cannot open file " + shipped + fileName);
    CreateFolders(user);
    WriteFileAtomically(target, *bytes, false);
    return target;
}

LanguageFolders ProgramLanguageFolders(const platform::DesktopShell& shell)
{
    const std::string installed = InstalledDataFolder(shell);
    const std::string shipped =
        (installed.empty() ? IncludeTrailingSlash(ExtractFilePath(shell.programPath())) : installed) +
        kLanguagesSubfolder;
    const std::string dataHome = SpecialFolderPath(shell, platform::SpecialFolder::ApplicationData);
    if (dataHome.empty())
        return LanguageFolders(shipped);
    return LanguageFolders(shipped, IncludeTrailingSlash(dataHome) + kPackageName + platform::kPathDelimiter +
                                        kLanguagesSubfolder);
}

} // namespace tern
