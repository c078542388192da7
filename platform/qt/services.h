// The program's services on Qt: message boxes, the settings store, file-system
// queries and the end of the program.
//
// Settings store: QSettings in INI form, user scope, organisation and
// application both the application name the program asks for ("DADO_QEM"),
// one group per section ("VORSEL"). On Linux the values live in
// $XDG_CONFIG_HOME/DADO_QEM/DADO_QEM.ini (default ~/.config/...), under
// [VORSEL]. Every value is a string. A store that is no regular file (a FIFO,
// a device, a folder) or larger than 1 MB is not opened: the program goes on
// as with no store, keeps the session's values in memory only, and writes
// nothing over it.
#pragma once

#include <QObject>
#include <QPointer>
#include <QSettings>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/platform.h"

namespace vorsel::platform::qt {

class QtMessages : public platform::Messages {
public:
    explicit QtMessages(QWidget* parent = nullptr) : parent_(parent) {}
    void set_parent(QWidget* parent) { parent_ = parent; }
    int show(const std::string& text, const std::string& title, MsgButtons buttons,
             MsgIcon icon) override;

private:
    QPointer<QWidget> parent_;
};

// The values are written to the file once control is back in the event loop
// (one write for the five keys of a choice), and when the program ends.
class QtSettings : public platform::Settings {
public:
    // Told once, in words, of a store that is not used.
    std::function<void(const std::string&)> on_unusable;

    ~QtSettings() override;
    std::string get(const std::string& app, const std::string& section, const std::string& key,
                    const std::string& fallback) override;
    void set(const std::string& app, const std::string& section, const std::string& key,
             const std::string& value) override;

private:
    // The app's store; nullptr when it is not used (then memory_ holds the values).
    QSettings* store(const std::string& app);
    void write_all();
    std::map<std::string, std::unique_ptr<QSettings>> stores_;
    std::map<std::string, std::string> memory_;  // "app/section/key" of unused stores
    QObject context_;  // the pending write goes with this object
    bool write_pending_ = false;
};

class QtFileSystem : public platform::FileSystem {
public:
    std::optional<std::int64_t> file_length(const std::string& path) override;
    std::optional<std::string> head(const std::string& path, std::size_t max_bytes) override;
    std::optional<std::string> tail(const std::string& path, std::size_t max_bytes) override;
    std::string file_name_of(const std::string& path) override;
};

// Ends the program in order: the event loop stops and main() returns. When the
// end comes before the event loop has started (the chooser is aborted during
// start-up), ended() tells main() not to start it at all.
class QtProgram : public platform::Program {
public:
    void end(Ending how) override;
    bool ended() const override { return ended_; }
    // The available memory of the machine, or what the program's own memory
    // limit (cgroup or address-space limit) still leaves, whichever is less.
    std::optional<std::uint64_t> memory_available() const override;
    // The exit status: 0 after an orderly end, 1 after a failure.
    int exit_status() const { return failed_ ? 1 : 0; }
    void set_busy(bool on) override;
    // The work runs on a thread of its own while this thread's event loop
    // repaints the windows and drops the user's input; a modal progress
    // dialog naming the work appears when it lasts longer than a second.
    void run_long(const std::string& text, const std::function<void()>& work) override;
    void set_dialog_parent(QWidget* parent) { dialog_parent_ = parent; }

private:
    // The tests act while long work runs: once, in this thread's event loop,
    // with the work held at its start until they are done.
    friend struct TestSeam;
    std::function<void()> while_work_held_;

    bool ended_ = false;
    bool failed_ = false;
    QPointer<QWidget> dialog_parent_;
};

}  // namespace vorsel::platform::qt
