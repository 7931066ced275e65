// The application's message listeners: each sees the messages the loop hands
// out, newest first, one may swallow a message, and a listener is gone once
// its subscription is, also when it ends its subscription while it runs; a
// subscription that outlives its application touches no other.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "gui/Application.h"
#include "gui/Handles.h"

namespace {

constexpr UINT kProbe = WM_APP + 77;

class MessageListeners : public testing::Test {
protected:
    void SetUp() override {
        app_ = std::make_unique<gui::TApplication>();
        app_->Initialize();
        window_.reset(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                        nullptr));
        ASSERT_TRUE(window_);
    }
    // Posts one probe with its number and lets the loop hand it out.
    void Probe(int number) {
        ASSERT_TRUE(::PostMessageW(window_.get(), kProbe, number, 0));
        app_->ProcessMessages();
    }
    // A listener that notes "name number" for each probe it sees.
    std::function<bool(MSG&)> Noting(const std::string& name, bool swallow = false) {
        return [this, name, swallow](MSG& msg) {
            if (msg.message == kProbe) seen_.push_back(name + " " + std::to_string(msg.wParam));
            return swallow && msg.message == kProbe;
        };
    }

    std::unique_ptr<gui::TApplication> app_;
    gui::OwnedWindow window_;
    std::vector<std::string> seen_;
};

TEST_F(MessageListeners, NewestFirstASwallowedMessageGoesNoFurther) {
    gui::TMessageListener older = app_->ListenToMessages(Noting("older"));
    gui::TMessageListener newer = app_->ListenToMessages(Noting("newer"));
    Probe(1);
    EXPECT_EQ(seen_, (std::vector<std::string>{"newer 1", "older 1"}));

    seen_.clear();
    gui::TMessageListener swallowing = app_->ListenToMessages(Noting("swallowing", true));
    Probe(2);
    EXPECT_EQ(seen_, (std::vector<std::string>{"swallowing 2"}));

    seen_.clear();
    swallowing.Reset();
    newer = app_->ListenToMessages(Noting("replaced"));
    Probe(3);
    EXPECT_EQ(seen_, (std::vector<std::string>{"replaced 3", "older 3"})) << "a listener assigned over is gone";
}

TEST_F(MessageListeners, SubscriptionsEndedWhileAMessageIsHandedRound) {
    gui::TMessageListener older = app_->ListenToMessages(Noting("older"));
    gui::TMessageListener once;
    once = app_->ListenToMessages([&](MSG& msg) {
        if (msg.message != kProbe) return false;
        seen_.push_back("once " + std::to_string(msg.wParam));
        once.Reset();
        return false;
    });
    Probe(1);
    Probe(2);
    EXPECT_EQ(seen_, (std::vector<std::string>{"once 1", "older 1", "older 2"}));

    // One that ends an older listener's subscription: that one no longer sees
    // the message, the others each see it once.
    seen_.clear();
    gui::TMessageListener middle = app_->ListenToMessages(Noting("middle"));
    gui::TMessageListener ending = app_->ListenToMessages([&](MSG& msg) {
        if (msg.message != kProbe) return false;
        seen_.push_back("ending " + std::to_string(msg.wParam));
        middle.Reset();
        return false;
    });
    Probe(3);
    EXPECT_EQ(seen_, (std::vector<std::string>{"ending 3", "older 3"}));
}

TEST_F(MessageListeners, MovedSubscriptionsKeepTheListenerAndOneOfAGoneApplicationTouchesNoOther) {
    gui::TMessageListener first = app_->ListenToMessages(Noting("listener"));
    gui::TMessageListener moved(std::move(first));
    first.Reset();
    Probe(1);
    EXPECT_EQ(seen_, (std::vector<std::string>{"listener 1"}));

    // A subscription of an application that has gone leaves the listeners
    // of the next one alone, though it may carry the same number.
    app_.reset();
    app_ = std::make_unique<gui::TApplication>();
    app_->Initialize();
    gui::TMessageListener next = app_->ListenToMessages(Noting("next"));
    moved.Reset();
    seen_.clear();
    Probe(2);
    EXPECT_EQ(seen_, (std::vector<std::string>{"next 2"}));
}

}  // namespace
