#include "settings_pages.h"

#include "applications_page.h"
#include "capture_page.h"
#include "general_page.h"
#include "mail_page.h"
#include "sound_page.h"

const SettingsPageEntry settingsPages[kSettingsPageCount] = {
    {155, L"全般", GeneralPageDlgProc, GeneralPageTemplate()},
    {158, L" サウンド", SoundPageDlgProc, SoundPageTemplate()},
    {159, L"アプリ", AppsPageDlgProc, ApplicationsPageTemplate()},
    {160, L"キャプチャー", CapturePageDlgProc, CapturePageTemplate()},
    {161, L"メール", MailPageDlgProc, MailPageTemplate()},
};
