// The "VST Paths" options page on the offscreen platform, with the folder
// chooser answered by the test, and the list it edits kept by the options
// file.

#include <gtest/gtest.h>

#include <QListWidget>
#include <QPushButton>

#include "host/AppOptions.h"
#include "plugins/vst/VSTPaths.h"
#include "tests/host/HostTestSupport.h"

namespace {

std::vector<std::string> Shown(const CVSTPaths& page)
{
    std::vector<std::string> rows;
    for (int i = 0; i < page.List()->count(); ++i)
        rows.push_back(page.List()->item(i)->text().toStdString());
    return rows;
}

} // namespace

TEST(VSTPaths, AddAppendsTheChosenFolderAndRemoveTakesTheSelectedOne)
{
    host_test::ScratchFolder scratch;
    const std::string file = scratch / "Corvane.opt";
    {
        CAppOptions options(file);
        options.vstPaths = {"/usr/lib/vst"};
        CVSTPaths page(options.vstPaths);
        EXPECT_EQ(page.AddButton()->text(), "Add Path...");
        EXPECT_EQ(page.RemoveButton()->text(), "Remove Selected Path");
        std::vector<std::string> answers = {"/opt/vst", "", "/usr/lib/vst"};
        QString asked;
        page.SetFolderChooser([&](QWidget*, const QString& title) {
            asked = title;
            const std::string answer = answers.front();
            answers.erase(answers.begin());
            return answer;
        });
        page.AddButton()->click();
        EXPECT_EQ(asked, "Select VST PlugIn Folder");
        page.AddButton()->click();   // cancelled: nothing added
        page.AddButton()->click();   // a folder already listed is listed again
        EXPECT_EQ(options.vstPaths, (std::vector<std::string>{"/usr/lib/vst", "/opt/vst", "/usr/lib/vst"}));
        EXPECT_EQ(Shown(page), options.vstPaths);

        page.List()->setCurrentRow(1);
        page.RemoveButton()->click();
        EXPECT_EQ(options.vstPaths, (std::vector<std::string>{"/usr/lib/vst", "/usr/lib/vst"}));
        EXPECT_EQ(Shown(page), options.vstPaths);
        page.List()->setCurrentRow(-1);
        page.RemoveButton()->click();   // nothing selected
        EXPECT_EQ(options.vstPaths.size(), 2u);
    }
    // Written at exit, read at the next start.
    CAppOptions reread(file);
    reread.DisableSaveOnExit();
    EXPECT_EQ(reread.vstPaths, (std::vector<std::string>{"/usr/lib/vst", "/usr/lib/vst"}));
}
