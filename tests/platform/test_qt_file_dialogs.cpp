// The desktop's save dialog: picking a file that exists asks whether to
// replace it, unless the request says nothing will be written to it.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

#include <filesystem>
#include <fstream>

#include "OffscreenAppEnvironment.h"
#include "platform/qt/QtServices.h"

namespace pellucor::platform::qt {
namespace {

namespace fs = std::filesystem;

const ::testing::Environment* const kApp = testing_support::AddOffscreenAppEnvironment<QApplication>();

struct Answered {
    bool askedToReplace = false;
    std::optional<std::string> chosen;
};

// Plays the person: picks path in the save dialog and, if asked whether to
// replace it, says no and cancels the dialog.
Answered PickExisting(const FileDialogRequest& req, const std::string& path) {
    Answered a;
    bool picked = false;
    int ticks = 0;
    QTimer person;
    person.setInterval(20);
    QObject::connect(&person, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        // A dialog that ignores the person fails the test instead of hanging it.
        if (++ticks > 250) {
            ADD_FAILURE() << "the dialog did not end";
            if (auto* box = qobject_cast<QMessageBox*>(modal)) box->button(QMessageBox::No)->click();
            else if (auto* dialog = qobject_cast<QFileDialog*>(modal)) dialog->reject();
            return;
        }
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            a.askedToReplace = true;
            box->button(QMessageBox::No)->click();
        } else if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            if (!picked) {
                picked = true;
                // Typed into the name box, as a person would; the dialog
                // opened in the file's folder.
                auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
                ASSERT_NE(name, nullptr);
                name->setText(QFileInfo(QString::fromStdString(path)).fileName());
                QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
            } else if (a.askedToReplace) {
                dialog->reject();
            }
        }
    });
    person.start();
    QtFileDialogs dialogs;
    a.chosen = dialogs.SaveFile(req);
    return a;
}

TEST(QtFileDialogs, ReplacingAnExistingFileIsAskedOnlyWhenItWillBeWritten) {
    const fs::path folder = fs::path(PELLUCOR_TEST_OUTPUT_DIR) / "qt_file_dialogs";
    fs::create_directories(folder);
    const std::string existing = (folder / "viewer").string();
    std::ofstream(existing) << "#!/bin/sh\n";

    struct Case {
        bool confirmOverwrite;
        bool asked;
    };
    for (const Case c : {Case{true, true}, Case{false, false}}) {
        SCOPED_TRACE(c.confirmOverwrite ? "file to be written" : "file only picked");
        FileDialogRequest req;
        req.title = "Select Image Viewer";
        req.initialDir = folder.string();
        req.confirmOverwrite = c.confirmOverwrite;
        const Answered a = PickExisting(req, existing);
        EXPECT_EQ(a.askedToReplace, c.asked);
        if (c.asked) {
            EXPECT_FALSE(a.chosen.has_value());
        } else {
            ASSERT_TRUE(a.chosen.has_value());
            EXPECT_EQ(fs::canonical(*a.chosen), fs::canonical(existing));
        }
    }
}

}  // namespace
}  // namespace pellucor::platform::qt
