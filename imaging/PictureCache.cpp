#include "PictureCache.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vips/vips.h>

#include <QFile>
#include <algorithm>
#include <chrono>

#include "PictureLoader.h"

namespace trimora {

namespace {

constexpr std::size_t kMaxPrepared = 2;
constexpr auto kStepAsideWait = std::chrono::milliseconds(20);

QImage draw(const PictureRequest& request, QString* whyNot) {
  return loadScaledPicture(request.path, request.request, Qt::white, Qt::KeepAspectRatio,
                           request.maxSide, whyNot);
}

}  // namespace

FileStamp FileStamp::of(const QString& path) {
  struct stat info {};
  if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0) return {};
  return {std::int64_t(info.st_size),
          std::int64_t(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec,
          std::uint64_t(info.st_ino), std::uint64_t(info.st_dev)};
}

PictureCache::PictureCache() : mThread([this] { run(); }) {}

PictureCache::~PictureCache() {
  {
    std::lock_guard<std::mutex> hold(mLock);
    mStopping = true;
    mQueue.clear();
    abandonWorkLocked();
  }
  mChanged.notify_all();
  mThread.join();
}

void PictureCache::abandonWorkLocked() {
  if (!mWorkingOn.isEmpty()) mAbandon = true;
}

std::optional<QSize> PictureCache::pictureSize(const QString& path) {
  const FileStamp stamp = FileStamp::of(path);
  {
    std::lock_guard<std::mutex> hold(mLock);
    const auto sameFile = [&](const Entry& e) {
      return e.request.path == path && e.stamp == stamp;
    };
    if (mCurrent && sameFile(*mCurrent)) return mCurrent->pictureSize;
    for (const Entry& e : mPrepared)
      if (sameFile(e)) return e.pictureSize;
  }
  return pictureFileSize(path);
}

std::optional<PictureCache::Entry> PictureCache::takePrepared(const PictureRequest& request,
                                                              const FileStamp& stamp) {
  const auto it = std::find_if(mPrepared.begin(), mPrepared.end(), [&](const Entry& e) {
    return e.request == request && e.stamp == stamp;
  });
  if (it == mPrepared.end()) return std::nullopt;
  Entry entry = std::move(*it);
  mPrepared.erase(it);
  return entry;
}

void PictureCache::makeCurrent(Entry entry) {
  if (mCurrent && mCurrent->request.path != entry.request.path) {
    std::erase_if(mPrepared,
                  [&](const Entry& e) { return e.request.path == mCurrent->request.path; });
    mPrepared.push_back(std::move(*mCurrent));
  }
  mCurrent = std::move(entry);
  std::erase_if(mPrepared,
                [&](const Entry& e) { return e.request.path == mCurrent->request.path; });
  while (mPrepared.size() > kMaxPrepared) mPrepared.erase(mPrepared.begin());
}

QImage PictureCache::picture(const PictureRequest& request, QString* whyNot, QSize pictureSize) {
  FileStamp stamp = FileStamp::of(request.path);
  {
    std::unique_lock<std::mutex> hold(mLock);
    if (mEnabled) {
      if (mCurrent && mCurrent->request == request && mCurrent->stamp == stamp) {
        if (whyNot) *whyNot = mCurrent->whyNot;
        return mCurrent->image;
      }
      // The same picture being prepared: its drawing is as far along as it gets.
      mChanged.wait(hold, [&] {
        return mWorkingOn != request.path || (mWorkingRequest && !(*mWorkingRequest == request));
      });
      if (std::optional<Entry> prepared = takePrepared(request, stamp)) {
        makeCurrent(std::move(*prepared));
        if (whyNot) *whyNot = mCurrent->whyNot;
        return mCurrent->image;
      }
      const auto failed = std::find_if(mFailed.begin(), mFailed.end(), [&](const Entry& e) {
        return e.request == request && e.stamp == stamp;
      });
      if (failed != mFailed.end()) {
        if (whyNot) *whyNot = failed->whyNot;
        mFailed.erase(failed);
        return {};
      }
    }
    // Drawn here: the background thread steps aside until the next prepare(). It stops at its
    // next block of rows; waiting for that (briefly: a reader without blocks is not waited for)
    // leaves both cores to this drawing.
    mQueue.clear();
    abandonWorkLocked();
    mChanged.wait_for(hold, kStepAsideWait, [&] { return mWorkingOn.isEmpty(); });
  }
  if (pictureSize.isEmpty()) pictureSize = pictureFileSize(request.path).value_or(QSize());
  QString why;
  QImage image = draw(request, &why);
  if (whyNot) *whyNot = why;
  std::lock_guard<std::mutex> hold(mLock);
  ++mDecodes;
  // A file changed while it was drawn is drawn afresh next time.
  if (!image.isNull() && mEnabled && FileStamp::of(request.path) == stamp)
    makeCurrent({request, stamp, pictureSize, image, why});
  return image;
}

void PictureCache::prepare(const QStringList& paths, Planner planner) {
  {
    std::lock_guard<std::mutex> hold(mLock);
    if (!mEnabled || mStopping) return;
    mWanted = paths;
    mPlanner = std::move(planner);
    std::erase_if(mPrepared, [&](const Entry& e) { return !paths.contains(e.request.path); });
    std::erase_if(mFailed, [&](const Entry& e) { return !paths.contains(e.request.path); });
    mQueue.clear();
    // A picture held of the file as it is now, for what the window asks now, is kept.
    const auto current = [&](const Entry& e) {
      return FileStamp::of(e.request.path) == e.stamp &&
             mPlanner(e.request.path, e.pictureSize) == e.request;
    };
    std::erase_if(mPrepared, [&](const Entry& e) { return !current(e); });
    for (const QString& path : paths) {
      const auto held = [&](const Entry& e) { return e.request.path == path; };
      if (path != mWorkingOn && !(mCurrent && held(*mCurrent) && current(*mCurrent)) &&
          std::none_of(mPrepared.begin(), mPrepared.end(), held) &&
          std::none_of(mFailed.begin(), mFailed.end(), held))
        mQueue.push_back(path);
    }
    if (!paths.contains(mWorkingOn)) abandonWorkLocked();
  }
  mChanged.notify_all();
}

void PictureCache::run() {
  // Below the window's thread: the drawing ahead takes only what the display leaves. The
  // JPEG decoder's own thread, started from here, inherits the niceness.
  setpriority(PRIO_PROCESS, pid_t(syscall(SYS_gettid)), 19);
  std::unique_lock<std::mutex> hold(mLock);
  for (;;) {
    mChanged.wait(hold, [&] { return mStopping || !mQueue.isEmpty(); });
    if (mStopping) break;
    const QString path = mQueue.takeFirst();
    const Planner planner = mPlanner;
    mWorkingOn = path;
    mAbandon = false;
    hold.unlock();

    const FileStamp stamp = FileStamp::of(path);
    const std::optional<QSize> size = pictureFileSize(path);
    const std::optional<PictureRequest> request =
        size && planner ? planner(path, *size) : std::nullopt;
    hold.lock();
    mWorkingRequest = request;
    hold.unlock();
    mChanged.notify_all();  // a display waiting for another request of this file goes ahead

    QImage image;
    QString whyNot = cannotReadPictureText();
    bool ran = false;
    if (request && !mAbandon) {
      LoadAbandonment abandonment(&mAbandon);
      image = draw(*request, &whyNot);
      // Abandoned, a load gives no picture unless it had finished.
      ran = !image.isNull() || !mAbandon;
    }
    // Pixels of a file that changed meanwhile may be of either version: not kept.
    const bool unchanged = ran && !mAbandon && FileStamp::of(path) == stamp;

    hold.lock();
    if (ran) ++mDecodes;
    if (unchanged && mEnabled && mWanted.contains(path) &&
        !(mCurrent && mCurrent->request.path == path)) {
      std::vector<Entry>& into = image.isNull() ? mFailed : mPrepared;
      std::erase_if(into, [&](const Entry& e) { return e.request.path == path; });
      into.push_back({*request, stamp, *size, std::move(image), whyNot});
      while (into.size() > kMaxPrepared) into.erase(into.begin());
    }
    image = QImage();
    mWorkingOn.clear();
    mWorkingRequest.reset();
    mChanged.notify_all();
  }
  hold.unlock();
  // The imaging library's buffers of this thread go with it.
  vips_thread_shutdown();
}

void PictureCache::setEnabled(bool enabled) {
  {
    std::lock_guard<std::mutex> hold(mLock);
    mEnabled = enabled;
    if (enabled) return;
    mQueue.clear();
    mPrepared.clear();
    mFailed.clear();
    mCurrent.reset();
    abandonWorkLocked();
  }
  mChanged.notify_all();
}

bool PictureCache::isEnabled() const {
  std::lock_guard<std::mutex> hold(mLock);
  return mEnabled;
}

void PictureCache::waitUntilIdle() {
  std::unique_lock<std::mutex> hold(mLock);
  mChanged.wait(hold, [&] { return mQueue.isEmpty() && mWorkingOn.isEmpty(); });
}

int PictureCache::decodeCount() const {
  std::lock_guard<std::mutex> hold(mLock);
  return mDecodes;
}

QStringList PictureCache::heldFiles() const {
  std::lock_guard<std::mutex> hold(mLock);
  QStringList files{mCurrent ? mCurrent->request.path : QString()};
  for (const Entry& e : mPrepared) files.push_back(e.request.path);
  return files;
}

std::int64_t PictureCache::heldBytes() const {
  std::lock_guard<std::mutex> hold(mLock);
  std::int64_t bytes = mCurrent ? mCurrent->image.sizeInBytes() : 0;
  for (const Entry& e : mPrepared) bytes += e.image.sizeInBytes();
  return bytes;
}

}  // namespace trimora
