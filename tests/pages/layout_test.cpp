// Where the pages put their widgets in the main window's page area.
#include "page_owner.h"
#include "pages/drive_window.h"
#include "pages/home_window.h"
#include "pages/partition_window.h"
#include "pages/volume_window.h"

#include <QLabel>
#include <QListView>
#include <QPushButton>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

QRect geometry_of(QWidget& page, const char* name)
{
    auto* widget = page.findChild<QWidget*>(name);
    return widget ? widget->geometry() : QRect();
}

void show_at(QWidget& page, int w, int h)
{
    page.resize(w, h);
    page.show();
}

} // namespace

TEST(HomePage, ButtonBottomsStayAtFortyFivePercentOfTheHeight)
{
    struct case_s {
        int height;
        int button_y;
    };
    for (const case_s c : {case_s{496, 117}, case_s{610, 168}, case_s{1001, 344}}) {
        page_owner owner;
        home_window_c page(&owner);
        show_at(page, 794, c.height);
        EXPECT_EQ(geometry_of(page, "btn_start"), QRect(40, c.button_y, 330, 106)) << c.height;
        EXPECT_EQ(geometry_of(page, "btn_resume"), QRect(425, c.button_y, 323, 106)) << c.height;
        EXPECT_EQ(geometry_of(page, "lbl_wenzi"), QRect(55, c.height - 248, 692, 188)) << c.height;
        EXPECT_FALSE(page.lbl_wenzi->isVisible());
    }
}

TEST(ListPages, FollowThePageSize)
{
    using make_page = std::function<std::unique_ptr<QWidget>(QWidget*)>;
    struct case_s {
        const char* page;
        make_page make;
        const char* widget;
        QRect at_794_496;
        QRect at_1000_700;
    };
    const make_page drive = [](QWidget* o) { return std::make_unique<drive_window_c>(o); };
    const make_page volume = [](QWidget* o) { return std::make_unique<volume_window_c>(o); };
    const make_page partition = [](QWidget* o) { return std::make_unique<partition_window_c>(o); };
    const case_s cases[] = {
        {"drive", drive, "btn_back", {175, 442, 100, 30}, {175, 646, 100, 30}},
        {"drive", drive, "btn_refresh", {347, 442, 100, 30}, {450, 646, 100, 30}},
        {"drive", drive, "btn_scan", {519, 442, 100, 30}, {725, 646, 100, 30}},
        {"drive", drive, "lv_drives", {25, 45, 744, 356}, {25, 45, 950, 560}},
        {"volume", volume, "btn_back", {175, 442, 100, 30}, {175, 646, 100, 30}},
        {"volume", volume, "btn_refresh", {347, 442, 100, 30}, {450, 646, 100, 30}},
        {"volume", volume, "btn_scan", {519, 442, 100, 30}, {725, 646, 100, 30}},
        {"volume", volume, "lv_volumes", {25, 45, 744, 356}, {25, 45, 950, 560}},
        {"partition", partition, "btn_back", {200, 442, 100, 30}, {200, 646, 100, 30}},
        {"partition", partition, "btn_repair", {494, 442, 100, 30}, {700, 646, 100, 30}},
        {"partition", partition, "btn_stop", {626, 42, 100, 30}, {832, 42, 100, 30}},
        {"partition", partition, "lv_volumes", {25, 120, 744, 316}, {25, 120, 950, 520}},
    };
    for (const auto& c : cases) {
        page_owner owner;
        auto page = c.make(&owner);
        show_at(*page, 794, 496);
        EXPECT_EQ(geometry_of(*page, c.widget), c.at_794_496) << c.page << " " << c.widget;
        page->resize(1000, 700);
        EXPECT_EQ(geometry_of(*page, c.widget), c.at_1000_700) << c.page << " " << c.widget;
    }
}
