#include "app/view-controllers/detail/KESTDetailViewController.h"

#include "app/core/KESTLiveDataManager.h"
#include "app/core/KESTPlane.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSOperationQueue.h"
#include "graphics/UIColor.h"
#include "uikit/UILabel.h"
#include "uikit/UITabBarItem.h"

VX_REGISTER_CLASS(KESTDetailViewController);

namespace {

constexpr const char* kTabTitles[] = { "Overview", "Flight", "Aircraft" };

std::string joinLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const auto& line : lines) {
        if (line.empty())
            continue;
        if (!text.empty())
            text += "\n";
        text += line;
    }
    return text;
}

} // namespace

KESTDetailViewController::~KESTDetailViewController()
{
    if (m_liveDataObserver)
        NSNotificationCenter::defaultCenter()->removeObserver(m_liveDataObserver);
}

Ref<KESTDetailViewController> KESTDetailViewController::initWithPlane(const Ref<KESTPlane>& plane)
{
    auto detail = makeController<KESTDetailViewController>({}, nullptr);
    detail->m_plane = plane;
    std::vector<Ref<UIViewController>> tabs;
    for (const char* title : kTabTitles) {
        auto tab = UIViewController::init();
        tab->setTitle(title);
        // A fixed frame inside the 320-point popover (the tab's view is sized down to it), below
        // the navigation bar that lies over the top of the content.
        auto label = UILabel::initWithFrame(CGRectMake(16, 72, 288, 120));
        label->setNumberOfLines(0);
        label->setTextColor(UIColor::blackColor());
        tab->view()->setBackgroundColor(UIColor::whiteColor());
        tab->view()->addSubview(label);
        detail->m_labels.push_back(label);
        tabs.push_back(tab);
    }
    detail->setViewControllers(tabs);
    detail->refresh();
    Weak<KESTDetailViewController> weak = detail;
    detail->m_liveDataObserver
        = NSNotificationCenter::defaultCenter()->addObserverForName(std::string(KESTLiveDataUpdatedNotification),
            nullptr, NSOperationQueue::mainQueue(), [weak](const Ref<NSNotification>&) {
                if (auto screen = weak.lock())
                    screen->refresh();
            });
    return detail;
}

std::vector<std::string> KESTDetailViewController::tabTexts() const
{
    std::vector<std::string> texts;
    for (const auto& label : m_labels)
        texts.push_back(label->text());
    return texts;
}

void KESTDetailViewController::refresh()
{
    if (!m_plane || m_labels.size() < 3)
        return;
    setTitle(m_plane->title());
    m_labels[0]->setText(joinLines({ m_plane->title(), m_plane->subtitle() }));
    m_labels[1]->setText(joinLines({ m_plane->fltno(), m_plane->callsign(), m_plane->route() }));
    m_labels[2]->setText(joinLines({ m_plane->type(), m_plane->reg(), m_plane->adshex() }));
}

void KESTDetailViewController::cleanup()
{
    if (m_liveDataObserver)
        NSNotificationCenter::defaultCenter()->removeObserver(m_liveDataObserver);
    m_liveDataObserver = nullptr;
    m_cleanedUp = true;
}
