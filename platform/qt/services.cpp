#include "platform/qt/services.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QSettings>
#include <QThread>
#include <fstream>

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

}  // namespace

std::string QtSettings::get(const std::string& app, const std::string& section,
                            const std::string& key, const std::string& fallback) {
    QSettings s(QSettings::IniFormat, QSettings::UserScope, q(app), q(app));
    s.beginGroup(q(section));
    const QVariant v = s.value(q(key));
    return v.isValid() ? v.toString().toStdString() : fallback;
}

void QtSettings::set(const std::string& app, const std::string& section, const std::string& key,
                     const std::string& value) {
    QSettings s(QSettings::IniFormat, QSettings::UserScope, q(app), q(app));
    s.beginGroup(q(section));
    s.setValue(q(key), q(value));
    s.endGroup();
    s.sync();
}

std::optional<std::int64_t> QtFileSystem::file_length(const std::string& path) {
    const QFileInfo info(q(path));
    if (path.empty() || !info.isFile()) return std::nullopt;
    return static_cast<std::int64_t>(info.size());
}

std::optional<std::string> QtFileSystem::first_line(const std::string& path,
                                                    std::size_t max_bytes) {
    if (path.empty() || !QFileInfo(q(path)).isFile()) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string line;
    char c;
    while (line.size() < max_bytes && in.get(c)) {
        line.push_back(c);
        if (c == '\n') break;
    }
    if (in.bad()) return std::nullopt;
    return line;
}

std::string QtFileSystem::file_name_of(const std::string& path) {
    if (path.empty()) return {};
    const QFileInfo info(q(path));
    return info.isFile() ? info.fileName().toStdString() : std::string();
}

void QtProgram::end() {
    ended_ = true;
    // Only a running loop is told to stop: asked while none runs, Qt would
    // refuse every later modal loop. main() sees ended() and starts none.
    if (QThread::currentThread()->loopLevel() > 0) QCoreApplication::exit(0);
}

}  // namespace vorsel::platform::qt
