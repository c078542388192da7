#include "platform/qt/services.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>
#include <atomic>
#include <memory>
#include <exception>
#include <thread>
#include <utility>
#include <QFileInfo>
#include <QMessageBox>
#include <QFile>
#include <QSettings>
#include <QStringDecoder>
#include <QThread>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorsel::platform::qt {

int QtMessages::show(const std::string& text, const std::string& title, MsgButtons buttons,
                     MsgIcon icon) {
    QMessageBox::Icon qicon = QMessageBox::NoIcon;
    switch (icon) {
        case MsgIcon::None: qicon = QMessageBox::NoIcon; break;
        case MsgIcon::Information: qicon = QMessageBox::Information; break;
        case MsgIcon::Warning: qicon = QMessageBox::Warning; break;
        case MsgIcon::Critical: qicon = QMessageBox::Critical; break;
    }
    // The texts join their lines with CR LF; the box wants a plain line feed.
    QString body = QString::fromStdString(text);
    body.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QMessageBox box(qicon, QString::fromStdString(title), body, QMessageBox::NoButton,
                    parent_.data());
    box.setTextFormat(Qt::PlainText);
    if (buttons == MsgButtons::RetryCancel) {
        box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Retry);
        box.setEscapeButton(QMessageBox::Cancel);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
    }
    box.exec();
    const auto answer = box.standardButton(box.clickedButton());
    if (buttons == MsgButtons::RetryCancel)
        return answer == QMessageBox::Retry ? kAnswerRetry : kAnswerCancel;
    return kAnswerOk;
}

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

// A value is kept as text where it is valid UTF-8, and as its bytes where it
// is not (a file name in another encoding), so that it reads back unchanged.
bool valid_utf8(const std::string& s) {
    QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decode(QByteArrayView(s.data(), static_cast<qsizetype>(s.size())));
    return !decode.hasError();
}

}  // namespace

QtSettings::~QtSettings() { write_all(); }

namespace {

// Larger than any store the program writes (a few hundred bytes) by far.
constexpr std::int64_t kMaxStoreBytes = std::int64_t{1} << 20;

// Why the store at `file` must not be opened; empty when it may. A FIFO would
// keep the start-up waiting for a writer, a huge file would slow it down.
std::string store_problem(const QString& file) {
    struct stat st;
    if (::stat(QFile::encodeName(file).constData(), &st) != 0) return {};  // none yet
    if (!S_ISREG(st.st_mode)) return "it is not a regular file";
    if (st.st_size > kMaxStoreBytes)
        return "it is " + std::to_string(st.st_size >> 20) + " MB long, more than a store can be";
    return {};
}

}  // namespace

QSettings* QtSettings::store(const std::string& app) {
    const auto found = stores_.find(app);
    if (found != stores_.end()) return found->second.get();
    std::unique_ptr<QSettings>& s = stores_[app];
    // Where QSettings keeps the store (its folder may have been set anew),
    // asked of a store in the same folder under a name no file has.
    const QSettings probe(QSettings::IniFormat, QSettings::UserScope, q(app),
                          QStringLiteral(".vorselplot-probe"));
    const QString file =
        QFileInfo(probe.fileName()).path() + QLatin1Char('/') + q(app) + QStringLiteral(".ini");
    if (const std::string why = store_problem(file); !why.empty()) {
        const std::string text = "The settings file " + file.toStdString() +
                                 " is not used: " + why +
                                 ". Nothing is remembered or written over it this time.";
        std::fprintf(stderr, "vorselplot: %s\n", text.c_str());
        if (on_unusable) on_unusable(text);
        return nullptr;
    }
    s = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, q(app), q(app));
    return s.get();
}

void QtSettings::write_all() {
    write_pending_ = false;
    for (auto& [app, s] : stores_)
        if (s) s->sync();
}

std::string QtSettings::get(const std::string& app, const std::string& section,
                            const std::string& key, const std::string& fallback) {
    QSettings* s = store(app);
    if (!s) {
        const auto v = memory_.find(app + '/' + section + '/' + key);
        return v == memory_.end() ? fallback : v->second;
    }
    const QVariant v = s->value(q(section) + QLatin1Char('/') + q(key));
    if (!v.isValid()) return fallback;
    if (v.typeId() == QMetaType::QByteArray) return v.toByteArray().toStdString();
    return v.toString().toStdString();
}

void QtSettings::set(const std::string& app, const std::string& section, const std::string& key,
                     const std::string& value) {
    QSettings* s = store(app);
    if (!s) {
        memory_[app + '/' + section + '/' + key] = value;
        return;
    }
    const QString name = q(section) + QLatin1Char('/') + q(key);
    if (valid_utf8(value))
        s->setValue(name, q(value));
    else
        s->setValue(name, QByteArray(value.data(), static_cast<qsizetype>(value.size())));
    if (!write_pending_) {
        write_pending_ = true;
        QTimer::singleShot(0, &context_, [this] { write_all(); });
    }
}

namespace {

// The file at path if it is a regular one, opened for reading; -1 otherwise.
// Paths are the file system's own bytes, whatever their encoding.
int open_regular(const std::string& path, struct stat& st) {
    if (path.empty()) return -1;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return -1;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

std::optional<std::string> read_at(const std::string& path, bool from_end, std::size_t max) {
    struct stat st;
    const int fd = open_regular(path, st);
    if (fd < 0) return std::nullopt;
    const auto size = static_cast<std::uint64_t>(st.st_size);
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(size, max));
    const auto offset = static_cast<off_t>(from_end ? size - n : 0);
    std::string out(n, '\0');
    std::size_t got = 0;
    bool failed = false;
    while (got < n) {
        const ssize_t r = ::pread(fd, out.data() + got, n - got, offset + static_cast<off_t>(got));
        if (r < 0 && errno == EINTR) continue;
        failed = r < 0;
        if (r <= 0) break;
        got += static_cast<std::size_t>(r);
    }
    ::close(fd);
    if (failed) return std::nullopt;
    out.resize(got);
    return out;
}

}  // namespace

std::optional<std::int64_t> QtFileSystem::file_length(const std::string& path) {
    struct stat st;
    const int fd = open_regular(path, st);
    if (fd < 0) return std::nullopt;
    ::close(fd);
    return static_cast<std::int64_t>(st.st_size);
}

std::optional<std::string> QtFileSystem::head(const std::string& path, std::size_t max_bytes) {
    return read_at(path, false, max_bytes);
}

std::optional<std::string> QtFileSystem::tail(const std::string& path, std::size_t max_bytes) {
    return read_at(path, true, max_bytes);
}

std::string QtFileSystem::file_name_of(const std::string& path) {
    struct stat st;
    if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return {};
    const std::size_t cut = path.find_last_of('/');
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

void QtProgram::end(Ending how) {
    ended_ = true;
    if (how == Ending::Failed) failed_ = true;
    // Only a running loop is told to stop: asked while none runs, Qt would
    // refuse every later modal loop. main() sees ended() and starts none.
    if (QThread::currentThread()->loopLevel() > 0) QCoreApplication::exit(exit_status());
}

namespace {

// A number of bytes from a line "Key:   N kB" of /proc/meminfo.
std::optional<std::uint64_t> meminfo(const char* key) {
    std::ifstream in("/proc/meminfo");
    std::string name, unit;
    std::uint64_t value = 0;
    while (in >> name >> value) {
        std::getline(in, unit);
        if (name == key) return value * 1024;
    }
    return std::nullopt;
}

// What the control group's memory limit still leaves, when there is one. Its
// page cache counts as used but is given back on demand: it is left out.
std::optional<std::uint64_t> cgroup_room() {
    std::ifstream max("/sys/fs/cgroup/memory.max"), current("/sys/fs/cgroup/memory.current");
    std::string limit;
    std::uint64_t used = 0;
    if (!(max >> limit) || limit == "max" || !(current >> used)) return std::nullopt;
    std::ifstream stat("/sys/fs/cgroup/memory.stat");
    std::string name;
    std::uint64_t value = 0;
    while (stat >> name >> value)
        if (name == "file") used = used > value ? used - value : 0;
    const std::uint64_t cap = std::strtoull(limit.c_str(), nullptr, 10);
    return cap > used ? cap - used : 0;
}

}  // namespace

void QtProgram::set_busy(bool on) {
    if (on) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        // The cursor reaches the screen only when the window system hears of
        // it: before the work that keeps this thread from returning to it.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

namespace {

// Eats what the user does while long work runs: the window takes no command
// meanwhile, and nothing done then is carried out afterwards either.
class InputEater : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::KeyPress:
            case QEvent::KeyRelease:
            case QEvent::Wheel:
            case QEvent::ShortcutOverride:
                return true;
            default:
                return false;
        }
    }
};

}  // namespace

void QtProgram::run_long(const std::string& text, const std::function<void()>& work) {
    // How long the work may take before the dialog shows.
    constexpr int kQuietMs = 1000;
    QEventLoop loop;
    std::atomic<bool> done{false};
    std::exception_ptr failure;
    const std::function<void()> act = std::exchange(while_work_held_, {});
    std::atomic<bool> held{static_cast<bool>(act)};
    const auto release = [&held] {
        held = false;
        held.notify_one();
    };
    std::thread worker([&] {
        held.wait(true);
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        done = true;
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    // Made only when it is needed: most reads are over before.
    std::unique_ptr<QProgressDialog> dialog;
    QTimer::singleShot(kQuietMs, &loop, [&] {
        if (done) return;
        dialog = std::make_unique<QProgressDialog>(QString::fromStdString(text), QString(), 0, 0,
                                                   dialog_parent_.data());
        dialog->setWindowTitle(QStringLiteral("Reading input data"));
        dialog->setWindowModality(Qt::ApplicationModal);
        dialog->setMinimumDuration(0);
        dialog->show();
    });
    if (act) QTimer::singleShot(0, &loop, [&] {
            act();
            release();
        });
    InputEater eater;
    QCoreApplication::instance()->installEventFilter(&eater);
    set_busy(true);
    if (!done) loop.exec();
    release();  // a loop ended early (the program quit) must not leave the work held
    worker.join();
    set_busy(false);
    QCoreApplication::instance()->removeEventFilter(&eater);
    if (failure) std::rethrow_exception(failure);
}

std::optional<std::uint64_t> QtProgram::memory_available() const {
    std::optional<std::uint64_t> room = meminfo("MemAvailable:");
    if (const auto c = cgroup_room()) room = room ? std::min(*room, *c) : *c;
    struct rlimit as;
    if (::getrlimit(RLIMIT_AS, &as) == 0 && as.rlim_cur != RLIM_INFINITY) {
        const std::uint64_t cap = as.rlim_cur;
        room = room ? std::min(*room, cap) : cap;
    }
    return room;
}

}  // namespace vorsel::platform::qt
