#include "app/BackgroundReport.h"

#include <exception>

#include <QMetaObject>

#include "samples/ErrorMessage.h"

TBackgroundReport::TBackgroundReport(TAudioFile file, TReportOptions options, QObject* receiver,
                                     TDone done)
    : Alive(std::make_shared<std::atomic<bool>>(true)) {
    options.Progress = [this](std::uint64_t count, std::uint64_t total) {
        Done = count;
        Total = total == 0 ? 1 : total;
        return !Stop.load();
    };
    Worker = std::thread([this, file = std::move(file), options = std::move(options),
                          receiver = QPointer<QObject>(receiver), done = std::move(done),
                          alive = Alive]() mutable {
        std::optional<TQualityReport> report;
        std::string error;
        try {
            report = MakeQualityReport(file, options);
        } catch (...) {
            error = MessageWithFullStop(ErrorText(std::current_exception()));
        }
        Over = true;
        if (Stop.load() || !receiver)
            return;
        QMetaObject::invokeMethod(
            receiver.data(),
            [alive, done = std::move(done), report = std::move(report), error]() mutable {
                if (alive->load())
                    done(std::move(report), std::move(error));
            },
            Qt::QueuedConnection);
    });
}

TBackgroundReport::~TBackgroundReport() {
    Alive->store(false);
    Stop = true;
    if (Worker.joinable())
        Worker.join();
}

double TBackgroundReport::Progress() const {
    return double(Done.load()) / double(Total.load());
}
