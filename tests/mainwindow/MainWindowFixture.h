#pragma once
// A main window of Tamberic (or of another profile) on doubles: scripted
// message boxes and file dialogs, a memory settings store, a scripted modal
// runner, a recording help viewer and program runner. The splash window is
// shortened so each start takes no two seconds.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <memory>
#include <string>

#include "apps/TambericProfile.h"
#include "core/ProgramState.h"
#include "core/WindowHooks.h"
#include "mainwindow/AppEnvironment.h"
#include "mainwindow/MainForm.h"
#include "mainwindow/plots/MainChartWidget.h"
#include "platform/testing/DesktopDoubles.h"
#include "platform/testing/Doubles.h"
#include "platform/testing/ModalDoubles.h"

namespace pellucor::testing_support {

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        ResetWindows();
    }
    void TearDown() override { form.reset(); }

    mainwindow::TMainForm& Start(const mainwindow::ProgramProfile& p, int splashMs = 0) {
        form = std::make_unique<mainwindow::TMainForm>(p, mainwindow::MainFormOptions{splashMs});
        form->CreateEntryWindows();
        services.messages.clear();
        return *form;
    }
    mainwindow::TMainForm& Start() { return Start(tamberic); }

    mainwindow::TMainChart& Chart() {
        return dynamic_cast<mainwindow::TMainChart&>(form->Chart());
    }

    // The menu-bar entry with this caption under the top-level menu of that caption.
    QAction* MenuEntry(const QString& menu, const QString& caption) {
        for (QAction* top : form->menuBar()->actions()) {
            if (top->text() != menu || !top->menu()) continue;
            if (QAction* a = Find(top->menu(), caption)) return a;
        }
        return nullptr;
    }
    static QAction* Find(QMenu* menu, const QString& caption) {
        for (QAction* a : menu->actions()) {
            if (a->text() == caption && !a->menu()) return a;
            if (a->menu())
                if (QAction* inner = Find(a->menu(), caption)) return inner;
        }
        return nullptr;
    }

    platform::testing::ScopedServices services;
    platform::testing::ScopedDesktopServices desktop;
    platform::testing::ScopedModalRunner modal;
    apps::TambericProfile tamberic;
    std::unique_ptr<mainwindow::TMainForm> form;
};

}  // namespace pellucor::testing_support
