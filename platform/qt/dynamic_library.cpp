#include "platform/qt/dynamic_library.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "library/vorsel_for.h"

#ifndef VORSEL_INSTALL_LIBDIR
#define VORSEL_INSTALL_LIBDIR "lib"
#endif

namespace vorsel::platform::qt {

namespace {
// Line break of the message texts.
constexpr const char* kCrLf = "\r\n";
}  // namespace

DynamicLibrary::DynamicLibrary(platform::Messages& messages, platform::Program& program,
                               std::string file_name, std::vector<std::string> folders)
    : messages_(messages),
      program_(program),
      file_name_(std::move(file_name)),
      folders_(std::move(folders)) {}

std::vector<std::string> DynamicLibrary::default_folders() {
    const QString here = QCoreApplication::applicationDirPath();
    std::vector<std::string> out{here.toStdString()};
    for (const QString& rel : {QStringLiteral("../lib"), QStringLiteral("../" VORSEL_INSTALL_LIBDIR)}) {
        const std::string p = QDir::cleanPath(here + "/" + rel).toStdString();
        if (std::find(out.begin(), out.end(), p) == out.end()) out.push_back(p);
    }
    return out;
}

std::string DynamicLibrary::loaded_path() const {
    return lib_.isLoaded() ? lib_.fileName().toStdString() : std::string();
}

void DynamicLibrary::fail(const std::string& text, const std::string& title) {
    failed_ = true;
    messages_.show(text, title, MsgButtons::Ok, MsgIcon::Critical);
    program_.end(Ending::Failed);
}

bool DynamicLibrary::load(const char* wanted) {
    if (lib_.isLoaded()) return true;
    std::string tried, why;
    for (const std::string& folder : folders_) {
        const QString path = QDir(QString::fromStdString(folder))
                                 .filePath(QString::fromStdString(file_name_));
        if (!tried.empty()) tried += ", ";
        tried += path.toStdString();
        if (!QFileInfo(path).isFile()) continue;
        lib_.setFileName(path);
        if (lib_.load()) return true;
        why = lib_.errorString().toStdString();
    }
    std::string text = "Error: the library " + file_name_ + " could not be loaded to call " +
                       wanted + kCrLf + "Looked for: " + tried;
    if (!why.empty()) text += kCrLf + why;
    fail(text, "Library not found!");
    return false;
}

QFunctionPointer DynamicLibrary::bind(Export& e) {
    if (e.fn) return e.fn;
    if (failed_ || !load(e.name)) return nullptr;
    e.fn = lib_.resolve(e.name);
    if (!e.fn)
        fail(std::string("Error: the library ") + lib_.fileName().toStdString() +
                 " has no entry point " + e.name,
             "Library entry point not found!");
    return e.fn;
}

bool DynamicLibrary::READ_VORSEL_DATA(const char* name, float* dat, float* sigrat,
                                      const std::int32_t* ncurves, std::int32_t* npoint,
                                      std::int32_t* ReturnKey) {
    auto fn = reinterpret_cast<decltype(&::READ_VORSEL_DATA)>(bind(read_));
    if (!fn) return false;
    fn(name, dat, sigrat, ncurves, npoint, ReturnKey);
    return true;
}

bool DynamicLibrary::FILL_KURRENT(const float* dat, const float* sigrat, const std::int32_t* iperm,
                                  const std::int32_t* ixval, const std::int32_t* iyval,
                                  float* ywork, float* xwork, float* ycur, float* xcur,
                                  float* ysmo, const std::int32_t* ncurves,
                                  const std::int32_t* npoint, std::int32_t* npcur,
                                  const float* siglim, const float* clipp, const float* clipm,
                                  const std::int16_t* reverse, const std::int16_t* sqrooted,
                                  const std::int16_t* smoothed, const std::int32_t* ityp) {
    auto fn = reinterpret_cast<decltype(&::FILL_KURRENT)>(bind(fill_));
    if (!fn) return false;
    fn(dat, sigrat, iperm, ixval, iyval, ywork, xwork, ycur, xcur, ysmo, ncurves, npoint, npcur,
       siglim, clipp, clipm, reverse, sqrooted, smoothed, ityp);
    return true;
}

bool DynamicLibrary::KUR_TO_NKUR(const float* y, std::int32_t* nkur, const std::int32_t* npcur,
                                 const std::int32_t* first, const std::int32_t* last,
                                 const float* valmin, const std::int32_t* maxpar,
                                 const float* skale) {
    auto fn = reinterpret_cast<decltype(&::KUR_TO_NKUR)>(bind(map_));
    if (!fn) return false;
    fn(y, nkur, npcur, first, last, valmin, maxpar, skale);
    return true;
}

}  // namespace vorsel::platform::qt
