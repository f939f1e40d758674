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

long NumberForErrno(int error) {
  switch (error) {
    case EEXIST:
      return kErrFileAlreadyExists;
    case ENOENT:
    case ENOTDIR:
      return kErrPathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
      return kErrPermissionDenied;
    case ENOSPC:
    case EDQUOT:
      return kErrDiskFull;
    default:
      return kErrFileIO;
  }
}

bool Fail(ErrInfo& err, const QString& source, int error, const QString& path) {
  err.Number = NumberForErrno(error);
  err.Source = source;
  if (error == EEXIST) {
    err.Description = QStringLiteral("File already exists: %1").arg(path);
  } else {
    err.Description = QStringLiteral("Cannot write %1: %2")
                          .arg(path, QString::fromLocal8Bit(std::strerror(error)));
  }
  return false;
}

bool WriteAll(int fd, const void* data, std::size_t size) {
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

// An open temporary file beside the target; removed unless Keep() was called.
class TempFile {
 public:
  ~TempFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!name_.isEmpty()) ::unlink(name_.constData());
  }
  bool Create(const QByteArray& target) {
    const QByteArray folder = QFile::encodeName(QFileInfo(QFile::decodeName(target)).path());
    const QByteArray base = QFile::encodeName(QFileInfo(QFile::decodeName(target)).fileName());
    for (int attempt = 0; attempt < 100; ++attempt) {
      const QByteArray name = folder + "/." + base + '.' +
                              QByteArray::number(QRandomGenerator::global()->generate(), 36) +
                              ".tmp";
      // Mode 0666 lets the umask decide, as for any newly created file.
      fd_ = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd_ >= 0) {
        name_ = name;
        return true;
      }
      if (errno != EEXIST) return false;
    }
    return false;
  }
  int fd() const { return fd_; }
  const QByteArray& name() const { return name_; }
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }
  void Keep() { name_.clear(); }

 private:
  int fd_ = -1;
  QByteArray name_;
};

void SyncFolderOf(const QByteArray& path) {
  const QByteArray folder = QFile::encodeName(QFileInfo(QFile::decodeName(path)).path());
  const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// Moves temp to target only if target does not exist.
int RenameNoReplace(const QByteArray& temp, const QByteArray& target) {
  if (::renameat2(AT_FDCWD, temp.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) ==
      0) {
    return 0;
  }
  if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return errno;
  // File systems without the no-replace rename still refuse to link onto an existing name.
  if (::link(temp.constData(), target.constData()) != 0) return errno;
  ::unlink(temp.constData());
  return 0;
}

}  // namespace

bool WriteFileSafely(const QString& path, const void* data, std::size_t size, WriteMode mode,
                     const QString& source, ErrInfo& err) {
  QByteArray target = QFile::encodeName(path);
  if (target.isEmpty()) return Fail(err, source, ENOENT, path);

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
      if (!S_ISREG(old.st_mode)) return Fail(err, source, EISDIR, path);
      replacing = true;
    }
  }

  TempFile temp;
  if (!temp.Create(target)) return Fail(err, source, errno, path);
  if (!WriteAll(temp.fd(), data, size)) return Fail(err, source, errno, path);
  if (replacing) {
    // The replacement keeps the old file's permission bits and its access and
    // modification times. Linux has no settable creation time, so the birth time
    // (where the file system records one) is that of the replacement.
    if (::fchmod(temp.fd(), old.st_mode & 07777) != 0) return Fail(err, source, errno, path);
    const struct timespec times[2] = {old.st_atim, old.st_mtim};
    if (::futimens(temp.fd(), times) != 0) return Fail(err, source, errno, path);
  }
  if (mode == WriteMode::Replace && ::fsync(temp.fd()) != 0) return Fail(err, source, errno, path);
  if (!temp.Close()) return Fail(err, source, errno, path);

  if (mode == WriteMode::CreateNew) {
    if (const int error = RenameNoReplace(temp.name(), target); error != 0) {
      return Fail(err, source, error, path);
    }
  } else {
    if (::rename(temp.name().constData(), target.constData()) != 0) {
      return Fail(err, source, errno, path);
    }
    SyncFolderOf(target);
  }
  temp.Keep();
  return true;
}

}  // namespace trimora::imaging
