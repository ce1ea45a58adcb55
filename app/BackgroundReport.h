#pragma once
// The quality report of the file shown, made on a thread of its own after the first picture,
// so zoom and pan never wait for it. It is dropped with its file: destroying it stops the
// pass and waits for the thread.

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <thread>

#include <QPointer>

#include "report/QualityReport.h"

class TBackgroundReport {
  public:
    // Called on `receiver`'s thread with the report, or with the reason it failed; never
    // called once this object is gone.
    using TDone = std::function<void(std::optional<TQualityReport> report, std::string error)>;

    TBackgroundReport(TAudioFile file, TReportOptions options, QObject* receiver, TDone done);
    ~TBackgroundReport();
    TBackgroundReport(const TBackgroundReport&) = delete;
    TBackgroundReport& operator=(const TBackgroundReport&) = delete;

    // How much is done, from 0 to 1.
    double Progress() const;
    // Whether the thread has finished (its result may still be on its way to the receiver).
    bool Finished() const { return Over.load(); }

  private:
    std::atomic<bool> Stop{false}, Over{false};
    std::atomic<std::uint64_t> Done{0}, Total{1};
    std::shared_ptr<std::atomic<bool>> Alive; // false once this object is gone
    std::thread Worker;
};
