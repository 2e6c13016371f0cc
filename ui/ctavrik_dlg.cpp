#include "ui/ctavrik_dlg.h"

#include "app/about_dlg.h"
#include "app/resource.h"
#include "catalog/model_list.h"
#include "generate/form_defaults.h"
#include "platform/file_exception.h"
#include "platform/winui/application.h"
#include "platform/winui/file_dialog.h"
#include "ui/dialog_texts.h"

using winui::CDataExchange;
using winui::DDX_Control;

namespace {

// The model list as the catalogue fills it.
class ComboModelList final : public catalog::ModelList {
public:
    explicit ComboModelList(const winui::CComboBox& combo) : combo_(combo) {}
    void ResetContent() override { combo_.ResetContent(); }
    void InsertString(int index, const WString& text) override { combo_.InsertString(index, text); }
    void SetCurSel(int index) override { combo_.SetCurSel(index); }

private:
    const winui::CComboBox& combo_;
};

void FillModelCombo(const winui::CComboBox& combo, int vendor) {
    ComboModelList list(combo);
    catalog::FillModelCombo(list, vendor);
}

// The value field follows its check box: enabled while it is ticked. Its
// text stays as it is either way.
void FollowCheckBox(const winui::CButton& box, const winui::CEdit& field) {
    field.EnableWindow(box.GetCheck() == BST_CHECKED);
}

}  // namespace

CtavrikDlg::CtavrikDlg() : CDHtmlDialog(IDD_MAIN_DIALOG, IDR_HTML_MAIN, nullptr) {
    // Shared from the resources: never destroyed.
    m_hIcon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
}

CtavrikDlg::~CtavrikDlg() = default;

const winui::MessageMap* CtavrikDlg::GetMessageMap() const {
    using winui::OnCommandEntry;
    static const winui::MessageMapEntry entries[] = {
        winui::OnMessageEntry<&CtavrikDlg::OnSysCommand>(WM_SYSCOMMAND),
        OnCommandEntry<&CtavrikDlg::OnCbnSetfocusComboVendor>(CBN_SETFOCUS, IDC_COMBO_VENDOR),
        OnCommandEntry<&CtavrikDlg::OnCbnSelchangeComboVendor>(CBN_SELCHANGE, IDC_COMBO_VENDOR),
        OnCommandEntry<&CtavrikDlg::OnBnClickedCheckMab>(BN_CLICKED, IDC_CHECK_MAB),
        OnCommandEntry<&CtavrikDlg::GenerateConfiguration>(BN_CLICKED, IDC_BUTTON_GENERATE),
        OnCommandEntry<&CtavrikDlg::OnBnClickedCheckEscapeVlan>(BN_CLICKED, IDC_CHECK_ESCAPE_VLAN),
        OnCommandEntry<&CtavrikDlg::OnBnClickedCheckGuestVlan>(BN_CLICKED, IDC_CHECK_GUEST_VLAN),
    };
    static const winui::MessageMap map = winui::MakeMessageMap(CDHtmlDialog::GetMessageMap(), entries);
    return &map;
}

const winui::DHtmlEventMapEntry* CtavrikDlg::GetDHtmlEventMap() {
    using Entry = winui::DHtmlEventMapEntry;
    static const Entry entries[] = {
        {Entry::Kind::ElementByName, L"ButtonOK", winui::kDispidOnClick,
         &winui::DHtmlEventThunkOf<&CtavrikDlg::OnButtonOK>},
        {Entry::Kind::ElementByName, L"ButtonCancel", winui::kDispidOnClick,
         &winui::DHtmlEventThunkOf<&CtavrikDlg::OnButtonCancel>},
        {Entry::Kind::End, nullptr, 0, nullptr},
    };
    return entries;
}

void CtavrikDlg::DoDataExchange(CDataExchange* dx) {
    CDHtmlDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_COMBO_VENDOR, m_comboVendor);
    DDX_Control(dx, IDC_EDIT_MAB_DELAY, m_editMabDelay);
    DDX_Control(dx, IDC_EDIT_AUTH_PORT, m_editAuthPort);
    DDX_Control(dx, IDC_EDIT_ACCT_PORT, m_editAcctPort);
    DDX_Control(dx, IDC_COMBO_MODEL, m_comboModel);
    DDX_Control(dx, IDC_CHECK_MAB, m_checkMab);
    DDX_Control(dx, IDC_IPADDRESS_SERVER, m_ipServer);
    DDX_Control(dx, IDC_EDIT_INTERFACE, m_editInterface);
    DDX_Control(dx, IDC_EDIT_SECRET_KEY, m_editSecretKey);
    DDX_Control(dx, IDC_CHECK_MULTI_TERMINAL, m_checkMultiTerminal);
    DDX_Control(dx, IDC_CHECK_ESCAPE_VLAN, m_checkEscapeVlan);
    DDX_Control(dx, IDC_CHECK_GUEST_VLAN, m_checkGuestVlan);
    DDX_Control(dx, IDC_EDIT_ESCAPE_VLAN_ID, m_editEscapeVlanId);
    DDX_Control(dx, IDC_EDIT_GUEST_VLAN_ID, m_editGuestVlanId);
}

BOOL CtavrikDlg::OnInitDialog() {
    CDHtmlDialog::OnInitDialog();

    // The About item at the end of the system menu.
    if (HMENU menu = GetSystemMenu(FALSE)) {
        const wchar_t* text = nullptr;
        const int length = ::LoadStringW(::GetModuleHandleW(nullptr), IDS_ABOUTBOX, reinterpret_cast<LPWSTR>(&text), 0);
        if (length > 0 && text) {
            const std::wstring about(text, static_cast<size_t>(length));
            ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuW(menu, MF_STRING, IDM_ABOUTBOX, about.c_str());
        }
    }

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    ShowWindow(SW_SHOWDEFAULT);
    CenterWindow();

    m_editAuthPort.SetWindowText(form_defaults::kAuthPort);
    m_editAcctPort.SetWindowText(form_defaults::kAccountPort);
    m_editMabDelay.SetWindowText(form_defaults::kMabDelay);

    m_comboVendor.ResetContent();
    for (int i = 0; i < form_defaults::kVendorCount; ++i)
        m_comboVendor.InsertString(i, form_defaults::kVendorNames[i]);
    m_comboVendor.SetCurSel(0);
    FillModelCombo(m_comboModel, m_comboVendor.GetCurSel());

    m_toolTip.Create(this);
    AddTools();
    m_toolTip.SetDelayTime(TTDT_AUTOMATIC, 2000);
    m_toolTip.SetTipTextColor(RGB(0, 0, 255));
    m_toolTip.SetTipBkColor(RGB(255, 255, 255));
    m_toolTip.Activate(TRUE);

    m_checkMultiTerminal.SetCheck(BST_CHECKED);
    return TRUE;
}

void CtavrikDlg::AddTools() {
    m_toolTip.AddTool(&m_checkMultiTerminal, ui_text::kTipMultiTerminal);
    m_toolTip.AddTool(&m_editMabDelay, ui_text::kTipMabDelay);
    m_toolTip.AddTool(&m_checkMab, ui_text::kTipMabDelay);
    m_toolTip.AddTool(&m_ipServer, ui_text::kTipServerIp);
    m_toolTip.AddTool(&m_editInterface, ui_text::kTipInterface);
    m_toolTip.AddTool(&m_checkEscapeVlan, ui_text::kTipEscapeVlan);
    m_toolTip.AddTool(&m_editEscapeVlanId, ui_text::kTipEscapeVlan);
    m_toolTip.AddTool(&m_checkGuestVlan, ui_text::kTipGuestVlan);
    m_toolTip.AddTool(&m_editGuestVlanId, ui_text::kTipGuestVlan);
}

BOOL CtavrikDlg::PreTranslateMessage(MSG* message) {
    // The tools are not subclassed, so the tip learns of the pointer only here.
    if (message->message == WM_MOUSEMOVE) m_toolTip.RelayEvent(message);
    return CDHtmlDialog::PreTranslateMessage(message);
}

void CtavrikDlg::OnSysCommand(UINT id, LPARAM lParam) {
    if ((id & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg dlgAbout;
        dlgAbout.DoModal();
    } else {
        CDHtmlDialog::OnSysCommand(id, lParam);
    }
}

void CtavrikDlg::OnCbnSetfocusComboVendor() {}

void CtavrikDlg::OnCbnSelchangeComboVendor() { FillModelCombo(m_comboModel, m_comboVendor.GetCurSel()); }

void CtavrikDlg::OnBnClickedCheckMab() { FollowCheckBox(m_checkMab, m_editMabDelay); }

void CtavrikDlg::OnBnClickedCheckEscapeVlan() { FollowCheckBox(m_checkEscapeVlan, m_editEscapeVlanId); }

void CtavrikDlg::OnBnClickedCheckGuestVlan() { FollowCheckBox(m_checkGuestVlan, m_editGuestVlanId); }

void CtavrikDlg::CaptureRequest(WString& vendorName, WString& modelName) {
    FormSnapshot form;
    form.vendorIndex = m_comboVendor.GetCurSel();
    form.modelIndex = m_comboModel.GetCurSel();
    BYTE* address = form.serverAddress;
    m_ipServer.GetAddress(address[0], address[1], address[2], address[3]);
    form.authPort = m_editAuthPort.GetWindowText();
    form.accountPort = m_editAcctPort.GetWindowText();
    form.secretKey = m_editSecretKey.GetWindowText();
    form.interfaceName = m_editInterface.GetWindowText();
    form.mabEnabled = m_checkMab.GetCheck();
    form.mabDelay = m_editMabDelay.GetWindowText();
    form.multiTerminal = m_checkMultiTerminal.GetCheck();
    form.escapeVlanEnabled = m_checkEscapeVlan.GetCheck();
    if (form.escapeVlanEnabled) form.escapeVlanId = m_editEscapeVlanId.GetWindowText();
    form.guestVlanEnabled = m_checkGuestVlan.GetCheck();
    if (form.guestVlanEnabled) form.guestVlanId = m_editGuestVlanId.GetWindowText();
    form.vendorName = m_comboVendor.GetWindowText();
    form.modelName = m_comboModel.GetWindowText();
    ApplyCapture(m_request, form);
    vendorName = form.vendorName;
    modelName = form.modelName;
}

void CtavrikDlg::GenerateConfiguration() {
    WString vendorName;
    WString modelName;
    CaptureRequest(vendorName, modelName);
    ::GenerateConfiguration(m_request, vendorName, modelName, *this);
}

HRESULT CtavrikDlg::OnButtonOK(IHTMLElement*) {
    OnOK();
    return S_OK;
}

HRESULT CtavrikDlg::OnButtonCancel(IHTMLElement*) {
    OnCancel();
    return S_OK;
}

void CtavrikDlg::ShowMessage(const WString& text, MessageKind kind) {
    switch (kind) {
    case MessageKind::Plain:
        MessageBox(text, MB_OK);
        break;
    case MessageKind::Stop:
        MessageBox(text, MB_OK | MB_ICONSTOP);
        break;
    case MessageKind::OutOfMemory:
        MessageBox(text, MB_OK | MB_ICONEXCLAMATION | MB_SYSTEMMODAL);
        break;
    }
}

bool CtavrikDlg::AskSavePath(const SaveAsRequest& request, WString& chosenPath) {
    winui::CFileDialog dialog(FALSE, request.defaultExtension, request.initialFileName, request.options, request.filter);
    dialog.m_initialFolder = request.initialFolder;
    if (dialog.DoModal() != IDOK) return false;
    chosenPath = dialog.GetPathName();
    return true;
}

void CtavrikDlg::ReportFileException(const CFileException& error) {
    MessageBox(FileErrorMessage(error), MB_OK | MB_ICONSTOP);
}

// Every handler's failure is reported the way the generation reports its own.
void CtavrikDlg::ReportException(std::exception_ptr error) { ReportFailure(*this, error); }
