#include "platform/SafeFiles.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform
{
    namespace
    {
        /** Closes the descriptor when it goes out of scope. */
        struct Descriptor
        {
            explicit Descriptor (int d) : fd (d) {}
            ~Descriptor() { if (fd >= 0) ::close (fd); }
            Descriptor (const Descriptor&) = delete;
            Descriptor& operator= (const Descriptor&) = delete;

            int release() { const int d = fd; fd = -1; return d; }
            int fd;
        };

        bool writeAll (int fd, const char* bytes, std::size_t size)
        {
            while (size > 0)
            {
                const auto written = ::write (fd, bytes, size);

                if (written < 0 && errno == EINTR)
                    continue;
                if (written <= 0)
                    return false;

                bytes += written;
                size -= (std::size_t) written;
            }

            return true;
        }

        /** A new hidden file beside the target, opened for writing; its path goes to `path`. */
        int createHiddenSibling (const juce::File& target, juce::String& path)
        {
            const auto folder = target.getParentDirectory();

            for (int attempt = 0; attempt < 16; ++attempt)
            {
                const auto suffix = juce::String::toHexString (juce::Random::getSystemRandom().nextInt64());
                path = folder.getChildFile ("." + target.getFileName() + ".tmp-" + suffix).getFullPathName();

                const int fd = ::open (path.toRawUTF8(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);

                if (fd >= 0 || errno != EEXIST)
                    return fd;
            }

            return -1;
        }

        /** The rename is only durable once the folder's entry is on disk too. */
        void syncFolder (const juce::File& folder)
        {
            const Descriptor dir (::open (folder.getFullPathName().toRawUTF8(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));

            if (dir.fd >= 0)
                ::fsync (dir.fd);
        }
    }

    bool isRegularFile (const juce::File& file)
    {
        struct stat info {};
        return file.getFullPathName().isNotEmpty()
            && ::stat (file.getFullPathName().toRawUTF8(), &info) == 0
            && S_ISREG (info.st_mode);
    }

    std::optional<juce::MemoryBlock> readSmallFile (const juce::File& file, std::size_t maxBytes)
    {
        if (file.getFullPathName().isEmpty())
            return std::nullopt;

        // Non-blocking, so that a pipe given in place of a file cannot stall the opening; the
        // descriptor's own type is checked before anything is read.
        const Descriptor in (::open (file.getFullPathName().toRawUTF8(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
        struct stat info {};

        if (in.fd < 0 || ::fstat (in.fd, &info) != 0 || ! S_ISREG (info.st_mode) || (std::size_t) info.st_size > maxBytes)
            return std::nullopt;

        // The file may grow after the size was taken: one byte past the limit is enough to tell.
        juce::MemoryBlock bytes (maxBytes + 1);
        std::size_t total = 0;

        while (total <= maxBytes)
        {
            const auto got = ::read (in.fd, static_cast<char*> (bytes.getData()) + total, maxBytes + 1 - total);

            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                return std::nullopt;
            if (got == 0)
                break;

            total += (std::size_t) got;
        }

        if (total > maxBytes)
            return std::nullopt;

        bytes.setSize (total);
        return bytes;
    }

    bool replaceFileContents (const juce::File& requested, const void* data, std::size_t size)
    {
        const auto target = requested.isSymbolicLink() ? requested.getLinkedTarget() : requested;

        if (target.getFullPathName().isEmpty() || target.isDirectory())
            return false;

        juce::String tempPath;
        Descriptor out (createHiddenSibling (target, tempPath));

        if (out.fd < 0)
            return false;

        struct stat old {};
        const bool replacing = ::stat (target.getFullPathName().toRawUTF8(), &old) == 0;

        if (replacing && ! S_ISREG (old.st_mode))
        {
            ::unlink (tempPath.toRawUTF8());
            return false;
        }

        const bool written = (! replacing || ::fchmod (out.fd, old.st_mode & 07777) == 0)
                          && writeAll (out.fd, static_cast<const char*> (data), size)
                          && ::fsync (out.fd) == 0
                          && ::close (out.release()) == 0;

        if (! written || ::rename (tempPath.toRawUTF8(), target.getFullPathName().toRawUTF8()) != 0)
        {
            ::unlink (tempPath.toRawUTF8());
            return false;
        }

        syncFolder (target.getParentDirectory());
        return true;
    }
}
