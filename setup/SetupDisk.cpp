#include "SetupDisk.h"

namespace SetupDisk {
namespace {

// Closes the handle it holds.
class File {
public:
    explicit File(HANDLE handle) : m_Handle(handle) {}
    ~File() {
        if (Valid())
            ::CloseHandle(m_Handle);
    }
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    bool Valid() const { return m_Handle != INVALID_HANDLE_VALUE; }
    HANDLE Handle() const { return m_Handle; }

private:
    HANDLE m_Handle;
};

} // namespace

Loaded Load(const std::string& path) {
    Loaded loaded;
    File file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file.Valid() || !::GetFileSizeEx(file.Handle(), &size)) {
        loaded.error = ::GetLastError();
        return loaded;
    }
    // A file over the limit is refused by its size, before a byte is read.
    if (size.QuadPart > static_cast<LONGLONG>(SetupFile::kMaxFileBytes)) {
        loaded.result.problem = SetupFile::Problem::TooLarge;
        return loaded;
    }
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() &&
        !::ReadFile(file.Handle(), &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr)) {
        loaded.error = ::GetLastError();
        return loaded;
    }
    bytes.resize(read);
    loaded.result = SetupFile::Parse(bytes);
    return loaded;
}

// The text goes to a file beside the target first, and takes its place only
// once it is whole.
DWORD Save(const std::string& path, const std::string& text) {
    const std::string partial = path + ".partial";
    DWORD error = 0;
    {
        File file(::CreateFileA(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.Valid())
            return ::GetLastError();
        DWORD written = 0;
        if (!::WriteFile(file.Handle(), text.data(), static_cast<DWORD>(text.size()), &written,
                         nullptr))
            error = ::GetLastError();
        else if (written != text.size())
            error = ERROR_WRITE_FAULT;
    }
    if (error == 0 && !::MoveFileExA(partial.c_str(), path.c_str(),
                                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = ::GetLastError();
    if (error != 0)
        ::DeleteFileA(partial.c_str());
    return error;
}

} // namespace SetupDisk
