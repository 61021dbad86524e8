#pragma once

#include "main_window.h"
#include "platform/language_texts.h"
#include "platform/message_boxes.h"
#include "platform/single_instance.h"
#include "startup.h"

#include <memory>

namespace sw {

struct MainServices;
struct Platform;

// Start-up services for runs nobody watches (benchmarks, screenshots, tests): the window starts
// beside any other instance, and no message box waits for an answer.
class NoOtherInstance : public SingleInstance {
public:
    bool anotherInstanceRunning() override { return false; }
    void createMarker(const QString&) override {}
};

// Answers No to every question and Ok to every notice.
class UnattendedMessageBoxes : public MessageBoxes {
public:
    MessageAnswer show(const QString&, const QString&, MessageIcon, MessageButtons buttons) override {
        return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
    }
};

// The main window started as the program starts it, with nobody watching: for the benchmark and
// the screenshot tool.
struct UnattendedWindow {
    UnattendedWindow(const QString& programFolder, const QString& prefixFolder);
    ~UnattendedWindow();

    // Start-up up to the filled window at its opening size; showing it is the caller's.
    void start(Platform platform);

    LanguageTexts texts;
    UnattendedMessageBoxes boxes;
    NoOtherInstance instance;
    StartupServices startup;
    std::unique_ptr<MainServices> services;
    frmMain window;
};

} // namespace sw
