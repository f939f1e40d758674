#include "SafeFileWrite.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace trimora::imaging {

namespace {

int systemRenameNoReplace(const char* from, const char* to) {
  return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE);
}
int systemLink(const char* from, const char* to) {
  return ::link(from, to);
}

FileSystemCalls& currentCalls() {
  static FileSystemCalls calls{&systemRenameNoReplace, &systemLink};
  return calls;
}

WriteError::Number numberForErrno(int error) {
  switch (error) {
    case EEXIST:
      return WriteError::FileAlreadyExists;
    case ENOENT:
    case ENOTDIR:
      return WriteError::PathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
      return WriteError::PermissionDenied;
    case ENOSPC:
    case EDQUOT:
      return WriteError::DiskFull;
    default:
      return WriteError::FileIo;
  }
}

WriteError failure(const QString& source, int error, const QString& path) {
  WriteError failed;
  failed.number = numberForErrno(error);
  failed.source = source;
  if (error == EEXIST) {
    failed.description = QStringLiteral("File already exists: %1").arg(path);
  } else {
    failed.description = QStringLiteral("Cannot write %1: %2")
                             .arg(path, QString::fromLocal8Bit(std::strerror(error)));
  }
  return failed;
}

bool writeAll(int fd, const void* data, std::size_t size) {
  const auto* p = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = ::write(fd, p, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += n;
    size -= std::size_t(n);
  }
  return true;
}

// An open temporary file beside the target; removed unless keep() was called.
class TempFile {
 public:
  ~TempFile() {
    if (mFd >= 0) ::close(mFd);
    if (!mName.isEmpty()) ::unlink(mName.constData());
  }
  bool create(const QByteArray& target) {
    const QByteArray folder = QFile::encodeName(QFileInfo(QFile::decodeName(target)).path());
    for (int attempt = 0; attempt < 100; ++attempt) {
      // A short name of its own, not the target's name plus a suffix: a target
      // whose name is near the file system's 255-byte limit must still work.
      const QByteArray name = folder + "/.trimora-" +
                              QByteArray::number(QRandomGenerator::global()->generate64(), 36) +
                              ".tmp";
      // Mode 0666 lets the umask decide, as for any newly created file.
      mFd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (mFd >= 0) {
        mName = name;
        return true;
      }
      if (errno != EEXIST) return false;
    }
    return false;
  }
  int fd() const { return mFd; }
  const QByteArray& name() const { return mName; }
  bool close() {
    const int fd = mFd;
    mFd = -1;
    return ::close(fd) == 0;
  }
  void keep() { mName.clear(); }

 private:
  int mFd = -1;
  QByteArray mName;
};

void syncFolderOf(const QByteArray& path) {
  const QByteArray folder = QFile::encodeName(QFileInfo(QFile::decodeName(path)).path());
  const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

bool unsupported(int error) {
  return error == EINVAL || error == ENOSYS || error == ENOTSUP || error == EOPNOTSUPP ||
         error == EPERM;
}

// Creates target exclusively and writes the bytes into it; a failed write
// removes what it created. For file systems that can neither rename without
// replacing nor make hard links (FAT and exFAT through FUSE, some shares).
int createExclusively(const QByteArray& target, const void* data, std::size_t size) {
  const int fd = ::open(target.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return errno;
  int error = 0;
  if (!writeAll(fd, data, size) || ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error != 0) ::unlink(target.constData());
  return error;
}

// Moves temp to target only if target does not exist, or writes the bytes
// under target directly where the file system can do neither.
int placeNoReplace(const QByteArray& temp, const QByteArray& target, const void* data,
                   std::size_t size) {
  const FileSystemCalls& fs = fileSystemCalls();
  if (fs.renameNoReplace(temp.constData(), target.constData()) == 0) return 0;
  if (!unsupported(errno)) return errno;
  // File systems without the no-replace rename still refuse to link onto an existing name.
  if (fs.link(temp.constData(), target.constData()) == 0) {
    ::unlink(temp.constData());
    return 0;
  }
  if (!unsupported(errno) && errno != EXDEV && errno != EMLINK) return errno;
  ::unlink(temp.constData());
  return createExclusively(target, data, size);
}

}  // namespace

const FileSystemCalls& fileSystemCalls() {
  return currentCalls();
}

void setFileSystemCalls(const FileSystemCalls& calls) {
  currentCalls() = calls;
}

void resetFileSystemCalls() {
  currentCalls() = FileSystemCalls{&systemRenameNoReplace, &systemLink};
}

WriteError writeFileSafely(const QString& path, const void* data, std::size_t size, WriteMode mode,
                           const QString& source) {
  QByteArray target = QFile::encodeName(path);
  if (target.isEmpty()) return failure(source, ENOENT, path);

  struct stat old {};
  bool replacing = false;
  if (mode == WriteMode::Replace) {
    struct stat link {};
    if (::lstat(target.constData(), &link) == 0 && S_ISLNK(link.st_mode)) {
      // Replace the file that the link points to, not the link itself.
      if (char* resolved = ::realpath(target.constData(), nullptr)) {
        target = resolved;
        std::free(resolved);
      }
    }
    if (::stat(target.constData(), &old) == 0) {
      if (!S_ISREG(old.st_mode)) return failure(source, EISDIR, path);
      replacing = true;
    }
  }

  TempFile temp;
  if (!temp.create(target)) return failure(source, errno, path);
  if (!writeAll(temp.fd(), data, size)) return failure(source, errno, path);
  if (replacing) {
    // The replacement keeps the old file's permission bits and its access and
    // modification times. Linux has no settable creation time, so the birth time
    // (where the file system records one) is that of the replacement.
    if (::fchmod(temp.fd(), old.st_mode & 07777) != 0) return failure(source, errno, path);
    const struct timespec times[2] = {old.st_atim, old.st_mtim};
    if (::futimens(temp.fd(), times) != 0) return failure(source, errno, path);
  }
  // On disk before it is reported written: a power cut must not leave an
  // empty file that would then read as already cropped.
  if (::fsync(temp.fd()) != 0) return failure(source, errno, path);
  if (!temp.close()) return failure(source, errno, path);

  if (mode == WriteMode::CreateNew) {
    if (const int error = placeNoReplace(temp.name(), target, data, size); error != 0) {
      return failure(source, error, path);
    }
    syncFolderOf(target);
  } else {
    if (::rename(temp.name().constData(), target.constData()) != 0) {
      return failure(source, errno, path);
    }
    syncFolderOf(target);
  }
  temp.keep();
  return {};
}

}  // namespace trimora::imaging
