#include "app/ConsoleDialogs.h"

#include <cstdio>

std::optional<QString> TConsoleDialogs::ChooseFileToOpen(QWidget*, const QString&) {
    return std::nullopt;
}

std::optional<QString> TConsoleDialogs::ChooseFileToSave(QWidget*, const QString&) {
    return std::nullopt;
}

void TConsoleDialogs::ShowError(QWidget*, const QString& title, const QString& text) {
    std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
}

void TConsoleDialogs::ShowInformation(QWidget* parent, const QString& title, const QString& text) {
    ShowError(parent, title, text);
}

namespace {

class TSilentProgress : public TProgress {
  public:
    bool Step(std::uint64_t, std::uint64_t) override { return true; }
    void SetNote(const QString&) override {}
};

} // namespace

std::unique_ptr<TProgress> TConsoleDialogs::StartProgress(QWidget*, const QString&) {
    return std::make_unique<TSilentProgress>();
}
