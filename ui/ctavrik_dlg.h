// The main dialog: the form, its defaults, tooltips and enable rules, and the
// generate button. It is also the generation's user interface: message boxes
// and the Save As dialog.
#pragma once

#include <windows.h>

#include "generate/request.h"
#include "generate/sequence.h"
#include "platform/winui/controls.h"
#include "platform/winui/dhtml_dialog.h"

class CtavrikDlg : public winui::CDHtmlDialog, public GenerateUi {
public:
    CtavrikDlg();
    ~CtavrikDlg() override;

    const winui::MessageMap* GetMessageMap() const override;
    const winui::DHtmlEventMapEntry* GetDHtmlEventMap() override;

    // GenerateUi
    void ShowMessage(const WString& text, MessageKind kind) override;
    bool AskSavePath(const SaveAsRequest& request, WString& chosenPath) override;
    void ReportFileException(const CFileException& error) override;

protected:
    void DoDataExchange(winui::CDataExchange* dx) override;
    BOOL PreTranslateMessage(MSG* message) override;
    BOOL OnInitDialog() override;
    void ReportException(std::exception_ptr error) override;

    void OnSysCommand(UINT id, LPARAM lParam);
    void OnCbnSetfocusComboVendor();
    void OnCbnSelchangeComboVendor();
    void OnBnClickedCheckMab();
    // The generate button: capture, then the generate sequence.
    void GenerateConfiguration();
    void OnBnClickedCheckEscapeVlan();
    void OnBnClickedCheckGuestVlan();

    HRESULT OnButtonOK(IHTMLElement* element);
    HRESULT OnButtonCancel(IHTMLElement* element);

    // Reads the form into the request in the order of the form's fields and
    // gives the texts shown in the two lists.
    void CaptureRequest(WString& vendorName, WString& modelName);

private:
    void AddTools();

    HICON m_hIcon;
    winui::CComboBox m_comboVendor;
    winui::CEdit m_editMabDelay;
    winui::CEdit m_editAuthPort;
    winui::CEdit m_editAcctPort;
    winui::CComboBox m_comboModel;
    winui::CButton m_checkMab;
    winui::CIPAddressCtrl m_ipServer;
    winui::CEdit m_editInterface;
    winui::CEdit m_editSecretKey;
    winui::CButton m_checkMultiTerminal;
    winui::CToolTipCtrl m_toolTip;
    SwitchConfigRequest m_request;
    winui::CButton m_checkEscapeVlan;
    winui::CButton m_checkGuestVlan;
    winui::CEdit m_editEscapeVlanId;
    winui::CEdit m_editGuestVlanId;
};
