#include "core/common/AtomicFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Closes a descriptor when it goes out of scope.
class FileDescriptor
{
public:
    explicit FileDescriptor(int fd)
        : fd(fd)
    {
    }
    ~FileDescriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int Get() const { return fd; }
    // Closes now; a failing close can mean the data never reached the disk.
    bool Close()
    {
        const int closing = fd;
        fd = -1;
        return ::close(closing) == 0;
    }

private:
    int fd;
};

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

// Gives the new file `name`, open as `file`, exactly `permissions` and all
// of `bytes`, flushed to disk, and closes it. On failure the file is
// removed and the result says which step failed.
Result FillNewFile(
    FileDescriptor& file, const std::string& name, std::string_view bytes, unsigned permissions)
{
    const auto abandon = [&](const std::string& what) {
        const int errorNumber = errno;
        ::unlink(name.c_str());
        return Result::SystemFailure(what, errorNumber);
    };
    // open() applies the creation mask, mkstemp() its own mode.
    if (::fchmod(file.Get(), static_cast<mode_t>(permissions)) != 0)
        return abandon("cannot set the permissions of " + name);
    if (!WriteAll(file.Get(), bytes))
        return abandon("cannot write " + name);
    if (::fsync(file.Get()) != 0)
        return abandon("cannot flush " + name);
    if (!file.Close())
        return abandon("cannot close " + name);
    return {};
}

} // namespace

bool WriteAll(int fd, std::string_view bytes)
{
    for (std::size_t written = 0; written < bytes.size();) {
        const ssize_t count = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return false;
        written += static_cast<std::size_t>(count);
    }
    return true;
}

Result WriteFileAtomically(const std::string& path, std::string_view bytes, unsigned permissions)
{
    struct stat target;
    if (::stat(path.c_str(), &target) == 0 && S_ISDIR(target.st_mode))
        return Result::SystemFailure("cannot replace " + path, EISDIR);

    std::string temporary = path + ".XXXXXX";
    FileDescriptor file(::mkstemp(temporary.data()));
    if (file.Get() < 0)
        return Result::SystemFailure("cannot create a file beside " + path, errno);

    if (const Result filled = FillNewFile(file, temporary, bytes, permissions); !filled)
        return filled;
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const int errorNumber = errno;
        ::unlink(temporary.c_str());
        return Result::SystemFailure("cannot replace " + path, errorNumber);
    }

    // Make the rename itself durable.
    FileDescriptor folder(::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY));
    if (folder.Get() >= 0)
        ::fsync(folder.Get());
    return {};
}

Result WriteNewFile(const std::string& path, std::string_view bytes, unsigned permissions)
{
    FileDescriptor file(::open(
        path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, static_cast<mode_t>(permissions)));
    if (file.Get() < 0)
        return Result::SystemFailure("cannot create " + path, errno);

    return FillNewFile(file, path, bytes, permissions);
}
