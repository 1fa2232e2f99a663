#include "services/MFMailComposeViewController.h"

#include "uikit/UIApplication.h"
#include "uikit/UIWindow.h"

VX_REGISTER_CLASS(MFMailComposeViewController);

namespace {
bool s_canSendMail = true;
std::vector<MFMailComposeViewController::Record> s_finished;
// The error of a failed send that came without one.
constexpr int32_t kSendFailedCode = 1;
} // namespace

Ref<MFMailComposeViewController> MFMailComposeViewController::init()
{
    auto composer = makeController<MFMailComposeViewController>({}, nullptr);
    // The message form is the composer's only screen.
    auto form = UIViewController::init();
    composer->setViewControllersAnimated({ form }, false);
    return composer;
}

bool MFMailComposeViewController::canSendMail()
{
    return s_canSendMail;
}

bool MFMailComposeViewController::finishWithResult(MFMailComposeResult result, const Ref<NSError>& error)
{
    if (m_finished)
        return false;
    m_finished = true;
    auto self_ = self<MFMailComposeViewController>();
    s_finished.push_back({ m_subject, m_to, m_cc, m_bcc, m_body, m_bodyIsHTML, m_attachments.size(), result });
    Ref<NSError> reported = error;
    if (result == MFMailComposeResultFailed && !reported)
        reported = NSError::errorWithDomain(MFMailComposeErrorDomain, kSendFailedCode);
    if (auto* d = mailComposeDelegate())
        d->mailComposeControllerDidFinishWithResultError(self_, result, reported);
    return true;
}

std::vector<Ref<MFMailComposeViewController>> MFMailComposeViewController::presentedComposers()
{
    std::vector<Ref<MFMailComposeViewController>> composers;
    auto window = UIApplication::sharedApplication()->keyWindow();
    auto controller = window ? window->rootViewController() : nullptr;
    for (; controller; controller = controller->presentedViewController()) {
        if (auto composer = std::dynamic_pointer_cast<MFMailComposeViewController>(controller))
            composers.push_back(composer);
    }
    return composers;
}

const std::vector<MFMailComposeViewController::Record>& MFMailComposeViewController::finishedMails()
{
    return s_finished;
}

void MFMailComposeViewController::setCanSendMailForTesting(bool canSend)
{
    s_canSendMail = canSend;
}

void MFMailComposeViewController::resetForTesting()
{
    s_canSendMail = true;
    s_finished.clear();
}
