// Identifiers of the program's resources and controls, shared by the
// resource script and the code. Their values are part of the program's
// outward face: window tests and users' tools find controls by them.
#pragma once

// System-menu command: the four low bits clear, as the system menu requires.
#define IDM_ABOUTBOX                    0x0010

#define IDD_ABOUTBOX                    100
#define IDS_ABOUTBOX                    101
#define IDD_MAIN_DIALOG                 102
#define IDR_HTML_MAIN                   104
#define IDR_MAINFRAME                   128

#define IDC_COMBO_VENDOR                1000
#define IDC_COMBO_MODEL                 1002
#define IDC_EDIT_MAB_DELAY              1004
#define IDC_EDIT_AUTH_PORT              1006
#define IDC_EDIT_SECRET_KEY             1007
#define IDC_EDIT_ACCT_PORT              1008
#define IDC_BUTTON_GENERATE             1011
#define IDC_IPADDRESS_SERVER            1015
#define IDC_CHECK_MAB                   1016
#define IDC_EDIT_INTERFACE              1017
#define IDC_CHECK_MULTI_TERMINAL        1018
#define IDC_STATIC_SERVER_IP            1020
#define IDC_CHECK_ESCAPE_VLAN           1021
#define IDC_EDIT_ESCAPE_VLAN_ID         1022
#define IDC_CHECK_GUEST_VLAN            1023
#define IDC_EDIT_GUEST_VLAN_ID          1024

#ifndef IDC_STATIC
#define IDC_STATIC                      (-1)
#endif
