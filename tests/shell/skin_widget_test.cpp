#include "shell_fixture.h"

#include "i18n/settings.h"
#include "shell/help_page.h"
#include "shell/init_worker.h"
#include "shell/skin_widget.h"

#include "test_support.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

#include <filesystem>
#include <memory>

using namespace shell_test;

namespace {

// The skin with the main window's side of the contract recorded.
class skin_probe : public QSkinWidget {
public:
    void show_page(int index) override { pages.push_back(index); }
    void stop_recovery() override { ++stops; }
    bool scan_running() const override { return busy; }

    std::vector<int> pages;
    int stops = 0;
    bool busy = false;
};

enum button_index { top1, top2, top3, close_button, max_button, min_button, setting_button };

QImage image_of(const QPixmap& pixmap)
{
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

class skin_widget_test : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        folder = std::make_unique<test_support::scratch_dir>();
        std::filesystem::current_path(folder->path());
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(folder->path().string()));
        load_settings();
    }
    static void TearDownTestSuite() { folder.reset(); }

    void SetUp() override
    {
        init_done = true;
        lang_names = {QStringLiteral("English"), QStringLiteral("Deutsch"), QStringLiteral("Français")};
        lang_index = 0;
        lang_text("menu_help") = QStringLiteral("Help");
        lang_text("menu_exit") = QStringLiteral("Exit");
        window = std::make_unique<skin_probe>();
        window->setGeometry(40, 30, 800, 600);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    void TearDown() override { set_url_opener({}); }

    button_c<QSkinWidget>* button(int index) { return window->title_buttons()[index]; }

    static std::unique_ptr<test_support::scratch_dir> folder;
    std::unique_ptr<skin_probe> window;
};

std::unique_ptr<test_support::scratch_dir> skin_widget_test::folder;

TEST_F(skin_widget_test, content_lies_inside_the_skin_edges)
{
    EXPECT_EQ(window->contentsMargins(), QMargins(3, 100, 3, 4));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Quenridge"));
    EXPECT_TRUE(window->windowFlags() & Qt::FramelessWindowHint);
}

// The first button hit, by its place in the list; -1 for none.
TEST_F(skin_widget_test, buttons_are_hit_inside_their_inclusive_rectangles)
{
    struct row {
        int width;
        QPoint point;
        int button;
    };
    const row rows[] = {
        {800, {769, 1}, close_button},  {800, {798, 21}, close_button}, {800, {799, 1}, -1},
        {800, {769, 22}, -1},           {800, {768, 1}, max_button},    {800, {739, 10}, max_button},
        {800, {738, 10}, min_button},   {800, {709, 10}, min_button},   {800, {708, 10}, setting_button},
        {800, {679, 10}, setting_button}, {800, {678, 10}, -1},         {800, {769, 0}, -1},
        {1000, {969, 1}, close_button}, {1000, {879, 21}, setting_button}, {1000, {769, 1}, -1},
        {800, {10, 25}, top1},          {800, {104, 94}, top1},         {800, {105, 60}, -1},
        {800, {113, 25}, top2},         {800, {216, 60}, top3},         {800, {310, 94}, top3},
        {800, {311, 60}, -1},           {800, {50, 24}, -1},            {800, {50, 95}, -1},
    };
    for (const row& r : rows) {
        const QRect window_rect(0, 0, r.width, 600);
        int found = -1;
        for (int i = 0; i < window->title_buttons().size() && found < 0; ++i)
            if (button(i)->hit(r.point, window_rect))
                found = i;
        EXPECT_EQ(found, r.button) << r.width << " wide, at " << r.point.x() << "," << r.point.y();
    }
}

TEST_F(skin_widget_test, buttons_draw_their_image_at_their_place)
{
    const struct {
        int button;
        QPoint corner;
    } rows[] = {{close_button, {769, 1}}, {max_button, {739, 1}},  {min_button, {709, 1}},
                {setting_button, {679, 1}}, {top1, {10, 25}}, {top2, {113, 25}}, {top3, {216, 25}}};
    for (const auto& r : rows) {
        QPixmap target(800, 600);
        target.fill(Qt::transparent);
        {
            QPainter painter(&target);
            button(r.button)->draw(&painter, QRect(0, 0, 800, 600));
        }
        const QImage drawn = image_of(target).copy(QRect(r.corner, button(r.button)->pixmaps[0].size()));
        EXPECT_FALSE(button(r.button)->pixmaps[0].isNull()) << r.button;
        EXPECT_EQ(drawn, image_of(button(r.button)->pixmaps[0])) << r.button;
    }
}

TEST_F(skin_widget_test, only_a_press_on_empty_title_band_drags_the_window)
{
    const struct {
        QPoint press;
        bool drags;
    } rows[] = {{{400, 50}, true}, {{400, 100}, true}, {{400, 101}, false}, {{400, 300}, false},
                {{20, 40}, false}, {{780, 10}, false}};
    for (const auto& r : rows) {
        window->move(40, 30);
        const QPoint start = window->pos();
        const QPoint global = start + r.press;
        send_mouse(window.get(), QEvent::MouseButtonPress, r.press, Qt::LeftButton, Qt::LeftButton, global);
        send_mouse(window.get(), QEvent::MouseMove, r.press + QPoint(50, 30), Qt::NoButton,
                   Qt::LeftButton, global + QPoint(50, 30));
        const QPoint moved = window->pos();
        // Released off every button, so nothing fires.
        send_mouse(window.get(), QEvent::MouseButtonRelease, r.press + QPoint(50, 30), Qt::LeftButton,
                   Qt::NoButton, global + QPoint(50, 30));
        EXPECT_EQ(moved, r.drags ? start + QPoint(50, 30) : start) << r.press.y();
    }
}

TEST_F(skin_widget_test, a_press_on_an_edge_resizes_the_window_but_not_below_its_minimum)
{
    window->setMinimumSize(500, 400);
    const QPoint corner(799, 599);
    const QPoint global = window->pos() + corner;
    send_mouse(window.get(), QEvent::MouseButtonPress, corner, Qt::LeftButton, Qt::LeftButton, global);
    send_mouse(window.get(), QEvent::MouseMove, corner, Qt::NoButton, Qt::LeftButton, global + QPoint(60, 40));
    EXPECT_EQ(window->geometry(), QRect(40, 30, 860, 640));
    send_mouse(window.get(), QEvent::MouseMove, corner, Qt::NoButton, Qt::LeftButton,
               global - QPoint(600, 600));
    EXPECT_EQ(window->size(), QSize(500, 400));
    send_mouse(window.get(), QEvent::MouseButtonRelease, corner, Qt::LeftButton, Qt::NoButton, global);
    EXPECT_EQ(window->pos(), QPoint(40, 30));
}

// A click fires only when the pointer stays on the button from press to release.
TEST_F(skin_widget_test, a_button_fires_only_when_released_where_it_was_pressed)
{
    init_done = false; // the first page button then answers with a box
    const QPoint on(50, 60);
    const QPoint off(50, 200);
    const struct {
        std::vector<QPoint> moves;
        QPoint release;
        bool fires;
    } rows[] = {{{}, on, true}, {{off}, off, false}, {{off, on}, on, false}, {{QPoint(60, 70)}, QPoint(60, 70), true}};
    for (const auto& r : rows) {
        box_recorder boxes;
        const QPoint origin = window->pos();
        send_mouse(window.get(), QEvent::MouseButtonPress, on, Qt::LeftButton, Qt::LeftButton, origin + on);
        EXPECT_EQ(button(top1)->state, 2);
        for (const QPoint& to : r.moves)
            send_mouse(window.get(), QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton, origin + to);
        send_mouse(window.get(), QEvent::MouseButtonRelease, r.release, Qt::LeftButton, Qt::NoButton,
                   origin + r.release);
        EXPECT_EQ(boxes.keys().size(), r.fires ? 1u : 0u) << r.moves.size();
        EXPECT_EQ(button(top1)->state, r.release == off ? 0 : 1);
        send_mouse(window.get(), QEvent::MouseMove, off, Qt::NoButton, Qt::NoButton, origin + off);
        EXPECT_EQ(button(top1)->state, 0);
    }
}

TEST_F(skin_widget_test, hover_follows_the_pointer_from_button_to_button)
{
    const QPoint origin = window->pos();
    const struct {
        QPoint at;
        std::vector<int> states; // of top1, top2, close
    } path[] = {{{50, 60}, {1, 0, 0}},  {{150, 60}, {0, 1, 0}}, {{780, 10}, {0, 0, 1}},
                {{780, 12}, {0, 0, 1}}, {{400, 60}, {0, 0, 0}}};
    for (const auto& step : path) {
        send_mouse(window.get(), QEvent::MouseMove, step.at, Qt::NoButton, Qt::NoButton, origin + step.at);
        EXPECT_EQ((std::vector<int>{button(top1)->state, button(top2)->state, button(close_button)->state}),
                  step.states)
            << step.at.x();
    }
}

TEST_F(skin_widget_test, double_click_on_the_title_band_maximizes_and_restores_exactly)
{
    const QRect normal(40, 30, 500, 400);
    window->setGeometry(normal);
    const QRect work_area = QGuiApplication::primaryScreen()->availableGeometry();

    double_click(window.get(), {300, 150}); // below the band
    double_click(window.get(), {20, 40});   // on a button
    EXPECT_EQ(window->geometry(), normal);
    EXPECT_FALSE(window->maximized());

    double_click(window.get(), {300, 10});
    EXPECT_EQ(window->geometry(), work_area);
    EXPECT_TRUE(window->maximized());
    EXPECT_EQ(image_of(window->maximize_button()->pixmaps[0]),
              image_of(QPixmap(":/images/system/resumeButton1.png")));

    double_click(window.get(), {300, 10});
    EXPECT_EQ(window->geometry(), normal);
    EXPECT_FALSE(window->maximized());
    EXPECT_EQ(image_of(window->maximize_button()->pixmaps[0]), image_of(QPixmap(":/images/system/maxButton1.png")));
}

TEST_F(skin_widget_test, maximize_button_toggles_between_its_two_actions)
{
    const QRect normal(10, 10, 600, 500);
    window->setGeometry(normal);
    click(window.get(), {599 - 50, 10});
    EXPECT_TRUE(window->maximized());
    click(window.get(), {window->width() - 1 - 50, 10});
    EXPECT_FALSE(window->maximized());
    EXPECT_EQ(window->geometry(), normal);
}

TEST_F(skin_widget_test, minimize_resets_every_button_to_normal)
{
    const QPoint origin = window->pos();
    send_mouse(window.get(), QEvent::MouseMove, {50, 60}, Qt::NoButton, Qt::NoButton, origin + QPoint(50, 60));
    button(top3)->state = 2;
    click(window.get(), {720, 10});
    for (const auto* b : window->title_buttons())
        EXPECT_EQ(b->state, 0);
    EXPECT_TRUE(window->isMinimized());
}

TEST_F(skin_widget_test, page_buttons_ask_before_leaving)
{
    const QPoint place[] = {{50, 60}, {150, 60}, {250, 60}};
    const struct {
        int button;
        bool started;
        bool busy;
        int answer;
        bool raw_before;
        std::vector<std::string> boxes;
        std::vector<int> pages;
        bool raw_after;
    } rows[] = {
        {0, false, false, QMessageBox::Ok, true, {"startup_warning"}, {}, true},
        {1, false, true, QMessageBox::Ok, false, {"startup_warning"}, {}, false},
        {2, false, false, QMessageBox::Ok, false, {"startup_warning"}, {}, false},
        {0, true, false, QMessageBox::Ok, true, {}, {1}, false},
        {1, true, false, QMessageBox::Ok, true, {}, {2}, true},
        {2, true, false, QMessageBox::Ok, false, {}, {1}, true},
        {0, true, true, QMessageBox::No, true, {"back_warning"}, {}, true},
        {2, true, true, QMessageBox::No, false, {"back_warning"}, {}, false},
        {1, true, true, QMessageBox::Yes, false, {"back_warning"}, {2}, false},
        {2, true, true, QMessageBox::Yes, false, {"back_warning"}, {1}, true},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << "button " << r.button << " started " << r.started << " busy "
                                        << r.busy << " answer " << r.answer);
        init_done = r.started;
        window->busy = r.busy;
        window->raw_scan_mode = r.raw_before;
        window->pages.clear();
        window->stops = 0;
        box_recorder boxes(r.answer);
        click(window.get(), place[r.button]);
        EXPECT_EQ(boxes.keys(), r.boxes);
        EXPECT_EQ(window->pages, r.pages);
        EXPECT_EQ(window->stops, int(r.pages.size()));
        EXPECT_EQ(window->raw_scan_mode, r.raw_after);
        for (const auto& box : boxes.boxes) {
            EXPECT_EQ(box.owner, window.get());
            EXPECT_EQ(box.title, QStringLiteral("Zorvane"));
            EXPECT_EQ(box.buttons, box.text == "back_warning" ? QMessageBox::Yes | QMessageBox::No
                                                              : QMessageBox::StandardButtons(QMessageBox::Ok));
            EXPECT_TRUE(box.fixed_size);
            EXPECT_TRUE(box.has_icon);
        }
    }
}

TEST_F(skin_widget_test, closing_asks_only_through_the_program_while_a_scan_runs)
{
    const struct {
        bool busy;
        int answer;
        bool through_exit_entry;
        std::vector<std::string> boxes;
        bool closes;
    } rows[] = {
        {false, QMessageBox::Ok, false, {}, true},
        {true, QMessageBox::No, false, {"quit_warning"}, false},
        {true, QMessageBox::Ok, false, {"quit_warning"}, false},
        {true, QMessageBox::Yes, false, {"quit_warning"}, true},
        {true, QMessageBox::No, true, {"quit_warning"}, false},
        {true, QMessageBox::Yes, true, {"quit_warning"}, true},
    };
    for (const auto& r : rows) {
        window->show();
        window->busy = r.busy;
        QSignalSpy closing(window.get(), &QSkinWidget::aboutToClose);
        box_recorder boxes(r.answer);
        if (r.through_exit_entry)
            window->popup_menu()->actions().last()->trigger();
        else
            click(window.get(), {780, 10});
        EXPECT_EQ(boxes.keys(), r.boxes);
        EXPECT_EQ(window->isVisible(), !r.closes);
        EXPECT_EQ(closing.count(), r.closes ? 1 : 0);
    }
    // The system's own close request does not ask.
    window->show();
    box_recorder boxes(QMessageBox::No);
    window->busy = true;
    window->close();
    EXPECT_TRUE(boxes.keys().empty());
    EXPECT_FALSE(window->isVisible());
}

TEST_F(skin_widget_test, menu_lists_languages_in_reverse_then_help_and_exit)
{
    const QList<QAction*> actions = window->popup_menu()->actions();
    ASSERT_EQ(actions.size(), 5);
    ASSERT_NE(actions[0]->menu(), nullptr);
    EXPECT_EQ(actions[0]->text(), QStringLiteral("Language"));
    EXPECT_TRUE(actions[1]->isSeparator());
    EXPECT_EQ(actions[2]->text(), QStringLiteral("Help"));
    EXPECT_TRUE(actions[3]->isSeparator());
    EXPECT_EQ(actions[4]->text(), QStringLiteral("Exit"));

    QStringList names;
    QList<int> indices;
    for (QAction* action : actions[0]->menu()->actions()) {
        names << action->text();
        indices << action->data().toInt();
        EXPECT_FALSE(action->isCheckable());
    }
    EXPECT_EQ(names, QStringList({"Français", "Deutsch", "English"}));
    EXPECT_EQ(indices, QList<int>({2, 1, 0}));
}

TEST_F(skin_widget_test, choosing_a_language_saves_it_and_says_when_it_applies)
{
    const QList<QAction*> languages = window->popup_menu()->actions()[0]->menu()->actions();
    std::filesystem::remove("Zorvane.ini");
    {
        box_recorder boxes;
        languages[2]->trigger(); // English, the current one
        EXPECT_TRUE(boxes.keys().empty());
        EXPECT_FALSE(std::filesystem::exists("Zorvane.ini"));
    }
    box_recorder boxes;
    languages[1]->trigger(); // Deutsch
    EXPECT_EQ(boxes.keys(), std::vector<std::string>{"language_warning"});
    EXPECT_EQ(lang_index, 1);
    EXPECT_EQ(QSettings("Zorvane.ini", QSettings::IniFormat).value("language").toString(),
              QStringLiteral("Deutsch"));
}

TEST_F(skin_widget_test, help_opens_the_page_shipped_beside_the_program)
{
    std::vector<QUrl> opened;
    set_url_opener([&](const QUrl& url) { opened.push_back(url); });
    window->popup_menu()->actions()[2]->trigger();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_TRUE(opened[0].isLocalFile());
    EXPECT_TRUE(opened[0].path().endsWith("/help/index.html"));
}

// A solid, named child standing in for a page.
QWidget* add_child(QWidget* parent, const char* name, QColor colour, QRect geometry)
{
    auto* child = new QWidget(parent);
    child->setObjectName(QString::fromLatin1(name));
    child->setAutoFillBackground(true);
    QPalette palette;
    palette.setColor(QPalette::Window, colour);
    child->setPalette(palette);
    child->setGeometry(geometry);
    child->show();
    return child;
}

TEST_F(skin_widget_test, canvas_holds_skin_named_children_and_buttons)
{
    window->resize(1000, 700);
    add_child(window.get(), "lower", Qt::red, {100, 200, 200, 200});
    QWidget* upper = add_child(window.get(), "upper", Qt::blue, {200, 300, 200, 200});
    add_child(window.get(), "", Qt::green, {600, 200, 100, 100});
    add_child(window.get(), "hidden", Qt::yellow, {600, 400, 100, 100})->hide();

    window->repaint(); // the skin is new for this size: only it is presented
    QImage canvas = image_of(window->composed());
    ASSERT_EQ(canvas.size(), QSize(1000, 700));
    EXPECT_NE(canvas.pixelColor(150, 250), QColor(Qt::red));

    // The ends of the top band keep their shape; the logo sits at its own size.
    const QImage top_band = image_of(QPixmap(":/images/system/so.png"));
    EXPECT_EQ(canvas.copy(936, 0, 64, 24), top_band.copy(736, 0, 64, 24));
    EXPECT_EQ(canvas.copy(0, 26, 64, 74), top_band.copy(0, 26, 64, 74));
    const QImage logo = image_of(QPixmap(":/images/top/logo.png"));
    int opaque = 0;
    int misplaced = 0;
    for (int y = 0; y < logo.height(); ++y)
        for (int x = 0; x < logo.width(); ++x)
            if (logo.pixelColor(x, y).alpha() == 255) {
                ++opaque;
                misplaced += canvas.pixel(880 + x, 24 + y) != logo.pixel(x, y);
            }
    EXPECT_GT(opaque, 0);
    EXPECT_EQ(misplaced, 0);

    window->repaint();
    canvas = image_of(window->composed());
    EXPECT_EQ(canvas.pixelColor(150, 250), QColor(Qt::red));
    EXPECT_EQ(canvas.pixelColor(250, 350), QColor(Qt::blue));
    EXPECT_NE(canvas.pixelColor(650, 250), QColor(Qt::green));
    EXPECT_NE(canvas.pixelColor(650, 450), QColor(Qt::yellow));
    EXPECT_NE(canvas.copy(969, 1, 30, 21), top_band.copy(769, 1, 30, 21)) << "close button drawn";

    upper->lower(); // the child listed last is drawn last
    window->repaint();
    EXPECT_EQ(image_of(window->composed()).pixelColor(250, 350), QColor(Qt::red));
}

} // namespace
