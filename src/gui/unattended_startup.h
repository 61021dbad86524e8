#pragma once

#include "platform/message_boxes.h"
#include "platform/single_instance.h"

namespace sw {

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

} // namespace sw
