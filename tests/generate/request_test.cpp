// Capture of the form into the request, and the order of the checks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "generate/messages.h"
#include "generate/request.h"

namespace {

std::string Show(const char16_t* text) { return text ? WideToUtf8(text) : "(passes)"; }

TEST(FormatServerIp, DecimalWithoutLeadingZerosLeftToRight) {
    const struct {
        uint8_t fields[4];
        const char16_t* expected;
    } cases[] = {
        {{0, 0, 0, 0}, u"0.0.0.0"},  // a blank control
        {{10, 0, 0, 0}, u"10.0.0.0"},  // only the first field filled
        {{192, 168, 1, 254}, u"192.168.1.254"},
        {{255, 255, 255, 255}, u"255.255.255.255"},
        {{1, 20, 100, 9}, u"1.20.100.9"},
        {{0, 99, 101, 200}, u"0.99.101.200"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatServerIp(c.fields), c.expected);
}

FormSnapshot FilledForm() {
    FormSnapshot form;
    form.vendorIndex = 1;
    form.modelIndex = 2;
    form.serverAddress[0] = 10;
    form.serverAddress[3] = 7;
    form.authPort = u"1812";
    form.accountPort = u"1813";
    form.secretKey = u" key ";
    form.interfaceName = u"GigabitEthernet1/0/1";
    form.mabEnabled = 0;
    form.mabDelay = u"30";
    form.multiTerminal = 1;
    form.escapeVlanEnabled = 1;
    form.escapeVlanId = u"100";
    form.guestVlanEnabled = 1;
    form.guestVlanId = u"200";
    form.vendorName = u"华三";
    form.modelName = u"S5130";
    return form;
}

TEST(ApplyCapture, TakesEveryFieldAsItStands) {
    SwitchConfigRequest request;
    ApplyCapture(request, FilledForm());
    EXPECT_EQ(request.vendorIndex, 1);
    EXPECT_EQ(request.modelIndex, 2);
    EXPECT_EQ(request.serverIp, u"10.0.0.7");
    EXPECT_EQ(request.authPort, u"1812");
    EXPECT_EQ(request.accountPort, u"1813");
    EXPECT_EQ(request.secretKey, u" key ");  // not trimmed
    EXPECT_EQ(request.interfaceName, u"GigabitEthernet1/0/1");
    EXPECT_EQ(request.mabEnabled, 0);
    EXPECT_EQ(request.mabDelay, u"30");  // taken although MAB is off
    EXPECT_EQ(request.multiTerminal, 1);
    EXPECT_EQ(request.escapeVlanId, u"100");
    EXPECT_EQ(request.guestVlanId, u"200");
}

TEST(ApplyCapture, LeavesDerivedFieldsOfTheLastPress) {
    SwitchConfigRequest request;
    request.mergePath = u"config\\a_b_merge_tp.ini";
    request.mabTemplatePath = u"config\\a_b_mab_tp.ini";
    request.outputPath = u"config\\a_b.ini";
    request.outputFileName = u"a_b.ini";
    request.hostMode = u"mac";
    ApplyCapture(request, FilledForm());
    EXPECT_EQ(request.mergePath, u"config\\a_b_merge_tp.ini");
    EXPECT_EQ(request.mabTemplatePath, u"config\\a_b_mab_tp.ini");
    EXPECT_EQ(request.outputPath, u"config\\a_b.ini");
    EXPECT_EQ(request.outputFileName, u"a_b.ini");
    EXPECT_EQ(request.hostMode, u"mac");
}

TEST(ApplyCapture, VlanIdsKeepTheLastTickedPress) {
    SwitchConfigRequest request;
    FormSnapshot form = FilledForm();
    form.escapeVlanEnabled = 0;
    form.guestVlanEnabled = 0;
    ApplyCapture(request, form);  // never ticked yet: stay empty
    EXPECT_EQ(request.escapeVlanId, u"");
    EXPECT_EQ(request.guestVlanId, u"");

    form.escapeVlanEnabled = 1;
    form.escapeVlanId = u"100";
    ApplyCapture(request, form);
    EXPECT_EQ(request.escapeVlanId, u"100");

    form.escapeVlanEnabled = 0;  // unticked, field text changed
    form.escapeVlanId = u"555";
    form.guestVlanId = u"666";
    ApplyCapture(request, form);
    EXPECT_EQ(request.escapeVlanEnabled, 0);
    EXPECT_EQ(request.escapeVlanId, u"100");
    EXPECT_EQ(request.guestVlanId, u"");

    form.escapeVlanEnabled = 1;  // ticked again, with an empty field
    form.escapeVlanId = u"";
    ApplyCapture(request, form);
    EXPECT_EQ(request.escapeVlanId, u"");
}

SwitchConfigRequest ValidRequest() {
    SwitchConfigRequest request;
    ApplyCapture(request, FilledForm());
    request.mabEnabled = 1;
    return request;
}

TEST(ValidateRequest, EachCheckWithItsMessage) {
    const struct {
        const char* name;
        void (*change)(SwitchConfigRequest&);
        const char16_t* expected;
    } cases[] = {
        {"valid", [](SwitchConfigRequest&) {}, nullptr},
        {"no interface", [](SwitchConfigRequest& r) { r.interfaceName.clear(); }, msg::kNoInterface},
        {"blank interface is text", [](SwitchConfigRequest& r) { r.interfaceName = u" "; }, nullptr},
        {"blank address control", [](SwitchConfigRequest& r) { r.serverIp = u"0.0.0.0"; }, msg::kNoServerIp},
        {"empty address", [](SwitchConfigRequest& r) { r.serverIp.clear(); }, msg::kNoServerIp},
        {"first field only", [](SwitchConfigRequest& r) { r.serverIp = u"10.0.0.0"; }, nullptr},
        {"0.0.0.0 compared whole", [](SwitchConfigRequest& r) { r.serverIp = u"0.0.0.0 "; }, nullptr},
        {"no auth port", [](SwitchConfigRequest& r) { r.authPort.clear(); }, msg::kNoAuthPort},
        {"ports not checked as numbers", [](SwitchConfigRequest& r) { r.authPort = u"端口"; }, nullptr},
        {"no accounting port", [](SwitchConfigRequest& r) { r.accountPort.clear(); }, msg::kNoAccountPort},
        {"no secret key", [](SwitchConfigRequest& r) { r.secretKey.clear(); }, msg::kNoSecretKey},
        {"key of one blank", [](SwitchConfigRequest& r) { r.secretKey = u" "; }, nullptr},
        {"MAB on, no delay", [](SwitchConfigRequest& r) { r.mabDelay.clear(); }, msg::kNoMabDelay},
        {"MAB off, no delay",
         [](SwitchConfigRequest& r) { r.mabEnabled = 0; r.mabDelay.clear(); }, nullptr},
        {"escape on, no id", [](SwitchConfigRequest& r) { r.escapeVlanId.clear(); }, msg::kNoEscapeVlanId},
        {"escape off, no id",
         [](SwitchConfigRequest& r) { r.escapeVlanEnabled = 0; r.escapeVlanId.clear(); }, nullptr},
        {"guest on, no id", [](SwitchConfigRequest& r) { r.guestVlanId.clear(); }, msg::kNoGuestVlanId},
        {"guest off, no id",
         [](SwitchConfigRequest& r) { r.guestVlanEnabled = 0; r.guestVlanId.clear(); }, nullptr},
        {"names and indexes not checked",
         [](SwitchConfigRequest& r) { r.vendorIndex = -1; r.modelIndex = -1; }, nullptr},
    };
    for (const auto& c : cases) {
        SwitchConfigRequest request = ValidRequest();
        c.change(request);
        const SwitchConfigRequest before = request;
        EXPECT_EQ(Show(ValidateRequest(request)), Show(c.expected)) << c.name;
        EXPECT_EQ(request.serverIp, before.serverIp) << c.name;  // changes nothing
    }
}

// Starting from a form with every text empty and every box ticked, filling
// the fields one at a time in check order shows each message in turn: only
// the first failing check speaks, and the switch port comes before the
// address although the form shows it lower down.
TEST(ValidateRequest, FirstFailingCheckWins) {
    SwitchConfigRequest request;
    request.mabEnabled = 1;
    request.escapeVlanEnabled = 1;
    request.guestVlanEnabled = 1;
    const struct {
        void (*fill)(SwitchConfigRequest&);
        const char16_t* expected;  // after this step
    } steps[] = {
        {[](SwitchConfigRequest&) {}, msg::kNoInterface},
        {[](SwitchConfigRequest& r) { r.interfaceName = u"Gi0/1"; }, msg::kNoServerIp},
        {[](SwitchConfigRequest& r) { r.serverIp = u"0.0.0.0"; }, msg::kNoServerIp},
        {[](SwitchConfigRequest& r) { r.serverIp = u"10.0.0.1"; }, msg::kNoAuthPort},
        {[](SwitchConfigRequest& r) { r.authPort = u"1812"; }, msg::kNoAccountPort},
        {[](SwitchConfigRequest& r) { r.accountPort = u"1813"; }, msg::kNoSecretKey},
        {[](SwitchConfigRequest& r) { r.secretKey = u"k"; }, msg::kNoMabDelay},
        {[](SwitchConfigRequest& r) { r.mabDelay = u"30"; }, msg::kNoEscapeVlanId},
        {[](SwitchConfigRequest& r) { r.escapeVlanId = u"100"; }, msg::kNoGuestVlanId},
        {[](SwitchConfigRequest& r) { r.guestVlanId = u"200"; }, nullptr},
    };
    int index = 0;
    for (const auto& step : steps) {
        step.fill(request);
        EXPECT_EQ(Show(ValidateRequest(request)), Show(step.expected)) << "step " << index;
        ++index;
    }
}

}  // namespace
