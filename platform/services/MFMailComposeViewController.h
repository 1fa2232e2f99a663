#pragma once

#include "foundation/NSError.h"
#include "foundation/Value.h"
#include "uikit/UINavigationController.h"

#include <string>
#include <vector>

class MFMailComposeViewController;

enum MFMailComposeResult : int32_t {
    MFMailComposeResultCancelled = 0,
    MFMailComposeResultSaved = 1,
    MFMailComposeResultSent = 2,
    MFMailComposeResultFailed = 3,
};

// What the composer tells its mail delegate when the user is done. The delegate dismisses it.
class MFMailComposeViewControllerDelegate {
public:
    virtual ~MFMailComposeViewControllerDelegate() = default;
    virtual void mailComposeControllerDidFinishWithResultError(
        const Ref<MFMailComposeViewController>&, MFMailComposeResult, const Ref<NSError>&)
    {
    }
};

// The mail composer. Nothing is sent: it keeps the message the application filled in, and the
// host's side (a test, standing in for the user) finishes it with a result, which goes to the
// mail delegate and is recorded with the message. Whether the device can send mail is
// configurable (yes by default). Main thread only.
class MFMailComposeViewController : public UINavigationController {
    VX_OBJECT(MFMailComposeViewController, UINavigationController)
public:
    struct Attachment {
        Value data;
        std::string mimeType;
        std::string fileName;
    };
    // A finished composition, as the user left it.
    struct Record {
        std::string subject;
        std::vector<std::string> toRecipients, ccRecipients, bccRecipients;
        std::string body;
        bool bodyIsHTML;
        size_t attachmentCount;
        MFMailComposeResult result;
    };

    explicit MFMailComposeViewController(Passkey key)
        : UINavigationController(key)
    {
    }
    static Ref<MFMailComposeViewController> init();
    static bool canSendMail();

    void setMailComposeDelegate(MFMailComposeViewControllerDelegate* delegate, Weak<NSObject> owner)
    {
        m_mailDelegate = delegate;
        m_mailDelegateOwner = std::move(owner);
    }
    MFMailComposeViewControllerDelegate* mailComposeDelegate() const
    {
        return m_mailDelegateOwner.expired() ? nullptr : m_mailDelegate;
    }

    void setSubject(const std::string& subject) { m_subject = subject; }
    void setToRecipients(std::vector<std::string> recipients) { m_to = std::move(recipients); }
    void setCcRecipients(std::vector<std::string> recipients) { m_cc = std::move(recipients); }
    void setBccRecipients(std::vector<std::string> recipients) { m_bcc = std::move(recipients); }
    void setMessageBodyIsHTML(const std::string& body, bool isHTML)
    {
        m_body = body;
        m_bodyIsHTML = isHTML;
    }
    void addAttachmentDataMimeTypeFileName(const Value& data, const std::string& mimeType, const std::string& fileName)
    {
        m_attachments.push_back({ data, mimeType, fileName });
    }

    // What the user sees.
    const std::string& subject() const { return m_subject; }
    const std::vector<std::string>& toRecipients() const { return m_to; }
    const std::vector<std::string>& ccRecipients() const { return m_cc; }
    const std::vector<std::string>& bccRecipients() const { return m_bcc; }
    const std::string& messageBody() const { return m_body; }
    bool isBodyHTML() const { return m_bodyIsHTML; }
    const std::vector<Attachment>& attachments() const { return m_attachments; }

    // The host's side. The user finishes the composition: it is recorded and the delegate is
    // told (once; later calls do nothing and answer false). A failure without an error gets one
    // in the mail error domain.
    bool finishWithResult(MFMailComposeResult result, const Ref<NSError>& error = nullptr);
    bool isFinished() const { return m_finished; }
    // The composers presented above the key window's root controller, outermost first.
    static std::vector<Ref<MFMailComposeViewController>> presentedComposers();
    // Every composition finished since the last reset, oldest first.
    static const std::vector<Record>& finishedMails();

    // Test-only: whether the device has a mail account.
    static void setCanSendMailForTesting(bool canSend);
    // Test-only: forgets the finished mails and allows sending again.
    static void resetForTesting();

private:
    MFMailComposeViewControllerDelegate* m_mailDelegate { nullptr };
    Weak<NSObject> m_mailDelegateOwner;
    std::string m_subject;
    std::vector<std::string> m_to, m_cc, m_bcc;
    std::string m_body;
    bool m_bodyIsHTML { false };
    std::vector<Attachment> m_attachments;
    bool m_finished { false };
};

inline constexpr const char* MFMailComposeErrorDomain = "MFMailComposeErrorDomain";
