// A stand-in for the main window: plain fields behind the settings interface, and a log of every
// change made to it in call order. An option command just flips the option's tick.
#pragma once

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "settings/settings_subject.h"

namespace tarvelin::testing {

struct FakeTarget {
    std::string title;
    std::string address;
    std::int32_t width = 66;
    friend bool operator==(const FakeTarget&, const FakeTarget&) = default;
};

class FakeWindow : public SettingsSubject {
public:
    FakeWindow() {
        for (const DisplayOptionInfo& info : kDisplayOptions) ticked[Index(info.option)] = info.initialTicked;
    }

    WindowRect OuterRect() const override { return rect; }
    void SetOuterRect(const WindowRect& value) override {
        rect = value;
        Log("rect " + std::to_string(rect.left) + "," + std::to_string(rect.top) + "," +
            std::to_string(rect.width) + "," + std::to_string(rect.height));
    }
    bool IsOnSomeScreen(const WindowRect& r) const override {
        return r.left < screen.left + screen.width && r.left + r.width > screen.left &&
               r.top < screen.top + screen.height && r.top + r.height > screen.top;
    }
    void CentreOnScreen() override {
        rect.left = (screen.width - rect.width) / 2;
        rect.top = (screen.height - rect.height) / 2;
        Log("centre");
    }

    std::int32_t DisplayState() const override { return state; }
    void SetMaximized(bool on) override {
        state = on ? kDisplayStateMaximized : kDisplayStateNormal;
        Log(on ? "maximized" : "normal");
    }

    std::int32_t SamplePeriodMs() const override { return periodMs; }
    void SetSamplePeriodMs(std::int32_t value) override {
        periodMs = value;
        Log("period " + std::to_string(value));
    }

    void RunOptionCommand(DisplayOption option) override {
        ticked[Index(option)] = !ticked[Index(option)];
        Log("option " + std::string(InfoOf(option).key));
    }
    bool IsOptionTicked(DisplayOption option) const override { return ticked[Index(option)]; }

    std::string FontFaceName() const override { return faceName; }
    void SetFontFaceName(const std::string& value) override {
        faceName = value;
        Log("face " + value);
    }
    std::int32_t FontPointSize() const override { return pointSize; }
    void SetFontPointSize(std::int32_t value) override {
        pointSize = value;
        Log("size " + std::to_string(value));
    }
    bool FontBold() const override { return bold; }
    void SetFontBold(bool on) override { SetFlag(bold, on, "bold"); }
    bool FontItalic() const override { return italic; }
    void SetFontItalic(bool on) override { SetFlag(italic, on, "italic"); }
    bool FontUnderline() const override { return underline; }
    void SetFontUnderline(bool on) override { SetFlag(underline, on, "underline"); }
    bool FontStrikeOut() const override { return strikeOut; }
    void SetFontStrikeOut(bool on) override { SetFlag(strikeOut, on, "strikeout"); }

    std::int32_t TextBackgroundColour() const override { return textBackground; }
    void SetTextBackgroundColour(std::int32_t value) override {
        textBackground = value;
        Log("text background " + std::to_string(value));
    }
    std::int32_t BackgroundColour() const override { return background; }
    void SetBackgroundColour(std::int32_t value) override {
        background = value;
        Log("background " + std::to_string(value));
    }

    int TargetCount() const override { return static_cast<int>(targets.size()); }
    std::string TargetTitle(int k) const override { return targets.at(static_cast<std::size_t>(k - 1)).title; }
    std::string TargetAddress(int k) const override { return targets.at(static_cast<std::size_t>(k - 1)).address; }
    std::int32_t TargetColumnWidth(int k) const override { return targets.at(static_cast<std::size_t>(k - 1)).width; }
    void AppendRestoredTarget(const std::string& title, const std::string& address, std::int32_t width) override {
        targets.push_back({title, address, width});
        Log("target " + title + "|" + address + "|" + std::to_string(width));
    }

    bool Ticked(DisplayOption option) const { return ticked[Index(option)]; }
    // Everything the settings describe, for comparing two windows after a round trip.
    bool SameSettings(const FakeWindow& other) const {
        return rect == other.rect && state == other.state && periodMs == other.periodMs && ticked == other.ticked &&
               faceName == other.faceName && pointSize == other.pointSize && bold == other.bold &&
               italic == other.italic && underline == other.underline && strikeOut == other.strikeOut &&
               textBackground == other.textBackground && background == other.background && targets == other.targets;
    }

    WindowRect screen{0, 0, 1920, 1080};
    WindowRect rect{675, 305, 570, 470};
    std::int32_t state = kDisplayStateNormal;
    std::int32_t periodMs = 1000;
    std::array<bool, kDisplayOptions.size()> ticked{};
    std::string faceName = "微软雅黑";
    std::int32_t pointSize = 9;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    std::int32_t textBackground = 16777215;
    std::int32_t background = 16777215;
    std::vector<FakeTarget> targets;
    std::vector<std::string> log;

private:
    static std::size_t Index(DisplayOption option) { return static_cast<std::size_t>(option); }
    void SetFlag(bool& flag, bool on, const std::string& name) {
        flag = on;
        Log(name + (on ? " on" : " off"));
    }
    void Log(std::string entry) { log.push_back(std::move(entry)); }
};

}  // namespace tarvelin::testing
