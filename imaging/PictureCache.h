#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace trimora {

// One display as the workspace asks the loader for it: the picture in `path` fitted on white
// into a canvas of `request`, each side capped at maxSide (loadScaledPicture's arguments).
struct PictureRequest {
  QString path;
  QSize request;
  int maxSide = 0;
  bool operator==(const PictureRequest&) const = default;
};

// A file as it stands on disk: a picture drawn from it stands for it only while all of these
// are unchanged. A file replaced by another (a rename over it) has another inode even where its
// size and time agree.
struct FileStamp {
  std::int64_t size = -1;
  std::int64_t modifiedNs = 0;
  std::uint64_t inode = 0;
  std::uint64_t device = 0;
  static FileStamp of(const QString& path);
  bool operator==(const FileStamp&) const = default;
};

// Pictures drawn ahead of need. While the user looks at one picture, a thread of low priority
// draws its neighbours in the list at exactly the canvas the workspace will ask for, so that a
// step to them is served at once. Holds the current picture and at most two prepared ones;
// what the user moved away from is dropped. Everything but the drawing itself runs on the
// caller's thread; the drawing thread yields at once to a display the caller asks for.
class PictureCache {
 public:
  // What the workspace will ask for when it shows the file `path` whose picture is
  // pictureSize (upright); nothing when it would draw nothing.
  using Planner = std::function<std::optional<PictureRequest>(const QString& path, QSize)>;

  PictureCache();
  // Abandons a preparation under way and waits for its thread.
  ~PictureCache();
  PictureCache(const PictureCache&) = delete;
  PictureCache& operator=(const PictureCache&) = delete;

  // The picture's size from its header (pictureFileSize), known without reading the file again
  // for a picture drawn or prepared from the file as it is now.
  std::optional<QSize> pictureSize(const QString& path);

  // loadScaledPicture(request, white, fitted) as it would draw now. A picture prepared from the
  // same file (same size, time and inode) for the same request is handed over at once; one
  // being prepared for it is waited for; otherwise it is drawn here, any other preparation
  // being abandoned first. The result becomes the current picture. A failure is never kept: a
  // preparation that failed answers the one display that follows it with its reason, and
  // every later display tries the file again, so a damaged file costs one decode a display.
  // pictureSize, when given, is the picture's size as the caller read it from the file.
  QImage picture(const PictureRequest& request, QString* whyNot = nullptr, QSize pictureSize = {});

  // Draws these files ahead, in this order, each at planner's request. Prepared pictures of
  // other files are dropped and a preparation of another file is abandoned. Call it once the
  // shown picture is on screen: the drawing then never holds up the display.
  void prepare(const QStringList& paths, Planner planner);

  // Switched off: nothing is prepared or kept, every picture is drawn when asked for.
  void setEnabled(bool enabled);
  bool isEnabled() const;

  // --- for tests and benchmarks
  // Waits until nothing is queued or being drawn.
  void waitUntilIdle();
  // Loads run to their end so far (a picture or a refusal), in the background or when asked
  // for; abandoned ones are not counted.
  int decodeCount() const;
  // The files whose pictures are held now, the current one first (empty string: none).
  QStringList heldFiles() const;
  // What the held pictures take, in bytes.
  std::int64_t heldBytes() const;

 private:
  struct Entry {
    PictureRequest request;
    FileStamp stamp;
    QSize pictureSize;
    QImage image;    // null: the load failed, for whyNot
    QString whyNot;  // why it failed, or what a drawing that succeeded could not do
  };

  void run();
  // Under mLock: the prepared entry for request whose file is still as stamp says, taken out.
  std::optional<Entry> takePrepared(const PictureRequest& request, const FileStamp& stamp);
  // Under mLock: the current picture becomes entry, the old one a prepared one (the oldest
  // prepared ones dropped beyond two), since a step back is as likely as the next.
  void makeCurrent(Entry entry);
  void abandonWorkLocked();

  mutable std::mutex mLock;
  std::condition_variable mChanged;
  bool mEnabled = true;
  bool mStopping = false;
  std::optional<Entry> mCurrent;
  std::vector<Entry> mPrepared;  // the newest last
  std::vector<Entry> mFailed;    // preparations that failed, each answering one display
  QStringList mQueue;
  QStringList mWanted;  // the files of the last prepare()
  Planner mPlanner;
  QString mWorkingOn;  // the file being prepared now; empty: none
  std::optional<PictureRequest> mWorkingRequest;
  std::atomic<bool> mAbandon{false};
  int mDecodes = 0;
  std::thread mThread;
};

}  // namespace trimora
