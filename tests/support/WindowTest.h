#pragma once
// The main window shown on the offscreen platform, with a fresh store, scripted dialogs and a
// folder of its own: the fixture of the window's tests.

#include <gtest/gtest.h>

#include <QApplication>

#include "app/Form1.h"
#include "samples/SampleStore.h"
#include "tests/support/LoadTest.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempDir.h"

class TWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetStore();
        Form.SetDialogs(&Dialogs);
        Form.show();
        QApplication::processEvents();
    }

    TScriptedDialogs Dialogs;
    TForm1 Form;
    TTempDir Dir;
};
