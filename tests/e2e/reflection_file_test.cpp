// A reflection file named at start or by File, "Import Reflection File..." shows what its import
// would; one the importer refuses, or a CIF chosen as a data file, gets its message and the chooser.
#include <QAction>

#include "e2e_support.h"
#include "import/convert.h"
#include "tests/fakes/reflection_file_text.h"

namespace vorsel::e2e {
namespace {

using ReflectionFileTest = ProgramTest;

TEST_F(ReflectionFileTest, OpensAsItsImportAndNamesWhatItCannotRead) {
    const std::string fcf = write_file("t.fcf", reflection_file_text(60)),
                      bad = write_file("bad.fcf", reflection_file_text(5) + "1 1 1 7 oops 2 o\n"),
                      cif = write_file("renamed.vorsel", reflection_file_text(5)),
                      data = write_file("other.vorsel", generated_data(30));
    const std::size_t kept = import::convert_fcf(fcf, write_file("x.vorsel", ""), {}).reflections;
    struct Case {
        const char* how;
        std::string named, imported, chosen;  // at start, by the File item, in the chooser
        std::string shown;                    // whose reflections the window holds at the end
        std::vector<std::string> messages;    // a piece of each message's text, in order
    };
    const Case cases[] = {
        {"named", fcf, "", "", fcf, {"no wavelength in the file"}},
        {"File item", data, fcf, "", fcf, {"no wavelength in the file"}},
        {"File item, refused", data, bad, data, data, {bad + ":21: reflection 6: _refln_F_squared"}},
        {"a CIF in the chooser", "", "", cif, data,
         {cif + " cannot be used.\nThis is a CIF (a refinement's reflection file?): open it "
                "with File, Import Reflection File..., or convert it with vorsel_import."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        messages_.clear();
        if (!c.chosen.empty()) choose(c.chosen);
        if (c.named.empty()) choose(data);
        app::VorselProgram& p = start_program(c.named);
        if (!c.imported.empty()) {
            p.ask_reflection_file = [&](const std::string&) { return c.imported; };
            p.window().findChild<QAction*>("mnuImportReflections")->trigger();
        }
        ASSERT_FALSE(p.ended() || unexpected_choosers_ > 0);
        EXPECT_EQ(readout(platform::ReadOut::TotalPoints),
                  seven(std::to_string(c.shown == fcf ? kept : 30)));
        EXPECT_NE(p.window().frame_box()->title().toStdString().find("input data file: " + c.shown),
                  std::string::npos);
        ASSERT_EQ(messages_.size(), c.messages.size());
        for (std::size_t i = 0; i < c.messages.size(); ++i)
            EXPECT_NE(messages_[i].text.find(c.messages[i]), std::string::npos) << messages_[i].text;
        // The chooser cannot open a reflection file: it is not remembered.
        EXPECT_NE(setting("Recent Location"), fcf);
        stop_program();
    }
}

}  // namespace
}  // namespace vorsel::e2e
