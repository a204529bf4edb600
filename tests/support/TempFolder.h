#pragma once

#include <string>

namespace tern::test {

// A fresh folder under the system's temporary folder, removed with everything in it when the object
// goes. path() ends without a delimiter.
class TempFolder
{
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const noexcept { return m_path; }
    // path() + "/" + relative
    std::string file(const std::string& relative) const { return m_path + "/" + relative; }
    // Writes `bytes` to path()/relative, creating folders on the way; returns the full path.
    std::string write(const std::string& relative, const std::string& bytes) const;

private:
    std::string m_path;
};

} // namespace tern::test
