// Fuzz target of the whole plot window over hostile data files. The input,
// less its tail, is the data file that the chooser hands back; Form_Load reads
// it with the real library, then the tail's bytes are clicks on the button
// panel, and on File, Open (the chooser picks the same file again a few times,
// then the user gives up). The last byte gives the number of clicks. The
// recording fakes stand for the screen, the settings and the file system. The
// window must never crash, hang or trip a sanitizer.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>

#include "plot/frmVorselPlot.h"
#include "tests/fakes/fake_platform.h"

namespace {

using vorsel::fakes::FakeChooserView;
using vorsel::fakes::FakePlatform;

// Every Index the panel raises, and File, Open (-1).
constexpr int kCommands[] = {0,  1,  2,  3,   4,   5,   6,   7,   8,   9,   10,  11,
                             12, 13, 14, 15,  16,  17,  18,  19,  20,  21,  22,  23,
                             24, 25, 26, 27,  28,  29,  30,  31,  32,  33,  34,  35,
                             36, 37, 38, 252, 253, 262, 272, 273, 282, 302, 352, -1};
constexpr std::size_t kMaxClicks = 24;
constexpr int kFilesChosen = 3;  // openings of the chooser that pick the file

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t clicks = std::min<std::size_t>(data[size - 1] % (kMaxClicks + 1), size - 1);
    const std::size_t file_size = size - 1 - clicks;
    const std::string content(reinterpret_cast<const char*>(data), file_size);
    const std::string real = "/tmp/vorsel_plot_fuzz_" + std::to_string(::getpid()) + ".vorsel";
    std::FILE* f = std::fopen(real.c_str(), "wb");
    if (f == nullptr) return 0;
    std::fwrite(content.data(), 1, content.size(), f);
    std::fclose(f);

    FakePlatform fp;
    fp.files.files["/data/fuzz.vorsel"] = content;
    fp.library.real_path = [&real](const std::string&) { return real; };
    int openings = 0;
    fp.chooser.setup = [&openings](FakeChooserView& v) {
        v.drive = "/";
        v.dir = v.drive_only_dir = "/home/xtal";
        if (++openings <= kFilesChosen)
            v.user = [](FakeChooserView& view) {
                view.open_dir("/data");
                view.click_file("fuzz.vorsel");
                view.ok();
            };
    };
    vorsel::plot::frmVorselPlot w(fp.plot_platform());
    w.Form_Load();
    for (std::size_t i = file_size; i + 1 < size && !w.ended(); ++i) {
        const int command = kCommands[data[i] % std::size(kCommands)];
        if (command < 0)
            w.mnuOpen_Click();
        else
            w.cmdBut_Click(command);
    }
    std::remove(real.c_str());
    return 0;
}
