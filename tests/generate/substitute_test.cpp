// Host-mode keywords and the nine placeholder passes.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "generate/substitute.h"
#include "tests/support/reference_substitution.h"

namespace {

std::string Utf8(WStringView text) { return WideToUtf8(text); }

TEST(ChooseHostMode, ByVendorModelAndMultiTerminalBox) {
    const struct {
        int32_t vendor, model, multi;
        const char16_t* expected;
    } cases[] = {
        {0, 1, 1, u"multi-authen"}, {0, 1, 0, u"single-terminal"},
        {0, 0, 1, u"mac"},          {0, 0, 0, u"port"},
        {0, 2, 1, u"mac"},          {0, 2, 0, u"port"},
        {0, -1, 1, u"mac"},         {0, -1, 0, u"port"},
        {1, 0, 1, u"macbased"},     {1, 1, 0, u"portbased"},
        {1, -1, 1, u"macbased"},    {2, 0, 1, u"multi-auth"},
        {2, 1, 0, u"single-host"},  {2, 7, 0, u"single-host"},
    };
    for (const auto& c : cases) {
        SwitchConfigRequest request;
        request.hostMode = u"stale";
        request.vendorIndex = c.vendor;
        request.modelIndex = c.model;
        request.multiTerminal = c.multi;
        ChooseHostMode(request);
        EXPECT_EQ(Utf8(request.hostMode), Utf8(c.expected))
            << "vendor " << c.vendor << " model " << c.model << " multi " << c.multi;
    }
}

TEST(ChooseHostMode, UnknownVendorKeepsTheEarlierKeyword) {
    for (int32_t vendor : {-1, 3}) {
        SwitchConfigRequest request;
        request.vendorIndex = vendor;
        request.multiTerminal = 1;
        ChooseHostMode(request);
        EXPECT_EQ(request.hostMode, u"") << vendor;  // none ever chosen

        request.hostMode = u"multi-auth";
        ChooseHostMode(request);
        EXPECT_EQ(request.hostMode, u"multi-auth") << vendor;
    }
}

TEST(ReplaceAll, OnePassLeftToRight) {
    const struct {
        const char* name;
        const char16_t* text;
        const char16_t* token;
        const char16_t* value;
        const char16_t* expected;
        size_t count;
    } cases[] = {
        {"three hits", u"a <%P%> b <%P%><%P%>", u"<%P%>", u"1812", u"a 1812 b 18121812", 3},
        {"none", u"no placeholder here", u"<%P%>", u"x", u"no placeholder here", 0},
        {"empty text", u"", u"<%P%>", u"x", u"", 0},
        {"text shorter than token", u"<%P", u"<%P%>", u"x", u"<%P", 0},
        {"whole text", u"<%P%>", u"<%P%>", u"v", u"v", 1},
        {"empty token changes nothing", u"abc", u"", u"x", u"abc", 0},
        {"value longer than token", u"<%P%>a<%P%>", u"<%P%>", u"GigabitEthernet1/0/1",
         u"GigabitEthernet1/0/1aGigabitEthernet1/0/1", 2},
        {"growing, then shrinking", u"<%P%>-<%P%>", u"<%P%>", u"123456", u"123456-123456", 2},
        {"empty value deletes", u"[<%P%>]<%P%>", u"<%P%>", u"", u"[]", 2},
        {"value equal to token does not loop", u"<%P%>.<%P%>", u"<%P%>", u"<%P%>", u"<%P%>.<%P%>", 2},
        {"inserted text not searched", u"<%P%>%>", u"<%P%>", u"<%P", u"<%P%>", 1},
        {"false start before a hit", u"<%<%P%>", u"<%P%>", u"v", u"<%v", 1},
        {"case-sensitive", u"<%p%> <%P%>", u"<%P%>", u"v", u"<%p%> v", 1},
        {"Chinese around", u"密钥<%P%>结束", u"<%P%>", u"值", u"密钥值结束", 1},
        // Code units whose bytes hold the byte of '<' (U+4E3C low, U+3C00
        // high) are no '<'.
        {"look-alike bytes", u"丼㰀<%P%>丼㰀", u"<%P%>", u"v", u"丼㰀v丼㰀", 1},
        // A token whose first code unit has a zero low byte (U+4E00).
        {"token starting with 一", u"一二 一 一二三", u"一二", u"x", u"x 一 x三", 2},
    };
    for (const auto& c : cases) {
        WString text = c.text;
        EXPECT_EQ(ReplaceAll(text, c.token, c.value), c.count) << c.name;
        EXPECT_EQ(Utf8(text), Utf8(c.expected)) << c.name;
    }
}

SwitchConfigRequest Values() {
    SwitchConfigRequest request;
    request.serverIp = u"10.1.1.10";
    request.authPort = u"1812";
    request.accountPort = u"1813";
    request.secretKey = u"key";
    request.interfaceName = u"Gi1/0/1";
    request.mabDelay = u"30";
    request.hostMode = u"mac";
    request.escapeVlanId = u"100";
    request.guestVlanId = u"200";
    return request;
}

TEST(SubstitutePlaceholders, AllNine) {
    WString text =
        u"radius <%SERVER_IP%> auth <%AUTH_PORT%> acct <%ACCOUNT_PORT%>\r\n"
        u"key <%SECRET_KEY%>\r\ninterface <%INTERFACE%>\r\n mab <%MAB_DELAY%>\r\n"
        u" mode <%HOST_MODE%>\r\n dead <%ESCAPEVLANID%> guest <%GUESTVLANID%>\r\n"
        u" again <%SERVER_IP%> <%GUESTVLANID%>\r\n";
    SubstitutePlaceholders(text, Values());
    EXPECT_EQ(Utf8(text),
              "radius 10.1.1.10 auth 1812 acct 1813\r\n"
              "key key\r\ninterface Gi1/0/1\r\n mab 30\r\n"
              " mode mac\r\n dead 100 guest 200\r\n"
              " again 10.1.1.10 200\r\n");
}

// What the fixed order of the passes means for values that hold placeholder
// text: a later pass sees what an earlier value brought in, never the other
// way round.
TEST(SubstitutePlaceholders, OrderOfThePasses) {
    const struct {
        const char* name;
        void (*change)(SwitchConfigRequest&);
        const char16_t* text;
        const char16_t* expected;
    } cases[] = {
        {"key holding a later placeholder",
         [](SwitchConfigRequest& r) { r.secretKey = u"k<%HOST_MODE%>"; }, u"<%SECRET_KEY%>", u"kmac"},
        {"guest id holding an earlier placeholder",
         [](SwitchConfigRequest& r) { r.guestVlanId = u"<%SECRET_KEY%>"; }, u"<%GUESTVLANID%>",
         u"<%SECRET_KEY%>"},
        {"key before interface",
         [](SwitchConfigRequest& r) { r.interfaceName = u"<%SECRET_KEY%>"; }, u"<%INTERFACE%>",
         u"<%SECRET_KEY%>"},
        {"interface after key",
         [](SwitchConfigRequest& r) { r.secretKey = u"<%INTERFACE%>"; }, u"<%SECRET_KEY%>", u"Gi1/0/1"},
        {"value equal to its own placeholder",
         [](SwitchConfigRequest& r) { r.interfaceName = u"<%INTERFACE%>"; }, u"<%INTERFACE%> <%INTERFACE%>",
         u"<%INTERFACE%> <%INTERFACE%>"},
        {"chain through several passes",
         [](SwitchConfigRequest& r) {
             r.serverIp = u"<%AUTH_PORT%>";
             r.authPort = u"<%GUESTVLANID%>";
         },
         u"<%SERVER_IP%>", u"200"},
        {"value completes a later placeholder with the text after it",
         [](SwitchConfigRequest& r) { r.interfaceName = u"<%HOST_"; }, u"<%INTERFACE%>MODE%>", u"mac"},
        {"value completes a later placeholder with the text before it",
         [](SwitchConfigRequest& r) { r.interfaceName = u"MODE%>"; }, u"<%HOST_<%INTERFACE%>", u"mac"},
        {"value completes an earlier placeholder: kept",
         [](SwitchConfigRequest& r) { r.authPort = u"IP%>"; }, u"<%SERVER_<%AUTH_PORT%>", u"<%SERVER_IP%>"},
        {"empty value joins a later placeholder",
         [](SwitchConfigRequest& r) { r.mabDelay.clear(); }, u"<%HOST_<%MAB_DELAY%>MODE%>", u"mac"},
        {"empty value joins an earlier placeholder: kept",
         [](SwitchConfigRequest& r) { r.mabDelay.clear(); }, u"<%SERVER_<%MAB_DELAY%>IP%>",
         u"<%SERVER_IP%>"},
        {"empty key deletes", [](SwitchConfigRequest& r) { r.secretKey.clear(); },
         u"a<%SECRET_KEY%>b<%SECRET_KEY%>", u"ab"},
        {"no host mode ever chosen", [](SwitchConfigRequest& r) { r.hostMode.clear(); },
         u"mode <%HOST_MODE%>;<%HOST_MODE%>", u"mode ;"},
        {"not placeholders",
         [](SwitchConfigRequest&) {},
         u"<%server_ip%> <%Server_IP%> <% SERVER_IP%> <%SERVER_IP %> <%SERVER_IP> <SERVER_IP%> <%OTHER%>",
         u"<%server_ip%> <%Server_IP%> <% SERVER_IP%> <%SERVER_IP %> <%SERVER_IP> <SERVER_IP%> <%OTHER%>"},
        {"values inserted as they stand",
         [](SwitchConfigRequest& r) { r.secretKey = u" \"a b\"\t%1 "; }, u"[<%SECRET_KEY%>]",
         u"[ \"a b\"\t%1 ]"},
        {"no placeholder", [](SwitchConfigRequest&) {}, u"vlan 10\r\n\r\n", u"vlan 10\r\n\r\n"},
    };
    for (const auto& c : cases) {
        SwitchConfigRequest request = Values();
        c.change(request);
        const SwitchConfigRequest before = request;
        WString text = c.text;
        SubstitutePlaceholders(text, request);
        EXPECT_EQ(Utf8(text), Utf8(c.expected)) << c.name;
        EXPECT_EQ(request.secretKey, before.secretKey) << c.name;
    }
}

TEST(SubstitutePlaceholders, VlanIdsOfAnEarlierPressWhileTheOptionIsOff) {
    SwitchConfigRequest request = Values();
    FormSnapshot form;
    form.interfaceName = u"Gi1/0/1";
    form.escapeVlanEnabled = 1;
    form.escapeVlanId = u"100";
    ApplyCapture(request, form);
    form.escapeVlanEnabled = 0;
    form.escapeVlanId = u"";
    ApplyCapture(request, form);

    WString text = u"dead <%ESCAPEVLANID%> guest <%GUESTVLANID%>";
    request.guestVlanId.clear();
    SubstitutePlaceholders(text, request);
    EXPECT_EQ(Utf8(text), "dead 100 guest ");
}

TEST(SubstitutePlaceholders, LargeTextWithManyHits) {
    // Every hit in a text of many placeholders is replaced, across the
    // growth and shrinking of the buffers.
    WString text, expected;
    for (int i = 0; i < 20000; ++i) {
        text += u"line <%SERVER_IP%> <%SECRET_KEY%> 中 <%GUESTVLANID%>\n";
        expected += u"line 10.1.1.10 key 中 200\n";
    }
    SubstitutePlaceholders(text, Values());
    EXPECT_TRUE(text == expected);
}

// Texts and values built from placeholders and their pieces, so that values
// holding placeholders and placeholders formed across joints are common:
// whatever way the substitution takes through a text, it must agree with
// the plain passes.
TEST(SubstitutePlaceholders, AgreesWithPlainPassesOnPiecesOfPlaceholders) {
    const char16_t* const pieces[] = {
        u"<%SERVER_IP%>", u"<%AUTH_PORT%>", u"<%SECRET_KEY%>", u"<%INTERFACE%>", u"<%MAB_DELAY%>",
        u"<%HOST_MODE%>", u"<%GUESTVLANID%>", u"<%ESCAPEVLANID%>", u"<%ACCOUNT_PORT%>",
        u"<%", u"%>", u"<", u"%", u">", u"_", u"HOST_", u"MODE", u"SERVER_", u"IP", u"A", u"x",
        u" ", u"\r\n", u"中", u"丼", u"<%HOST", u"_MODE%>", u"<%SERVER_IP", u"%%>",
    };
    std::mt19937 random(20261211);
    auto piece = [&] { return WString(pieces[random() % std::size(pieces)]); };
    auto textOf = [&](int most) {
        WString text;
        for (int n = random() % (most + 1); n > 0; --n) text += piece();
        return text;
    };
    // Plain values more often than not, so both ways through are taken.
    auto valueOf = [&] {
        const char16_t* const plain[] = {u"", u"v1", u"GigabitEthernet1/0/1"};
        if (random() % 3 != 0) return WString(plain[random() % 3]);
        WString value = textOf(3);
        return value;
    };
    for (int round = 0; round < 20000; ++round) {
        SwitchConfigRequest request;
        for (WString* field : {&request.serverIp, &request.authPort, &request.accountPort, &request.secretKey,
                               &request.interfaceName, &request.mabDelay, &request.hostMode,
                               &request.escapeVlanId, &request.guestVlanId})
            *field = valueOf();
        const WString original = textOf(12);
        WString text = original;
        SubstitutePlaceholders(text, request);
        WString expected = original;
        testsupport::ReferenceSubstitute(expected, request);
        ASSERT_EQ(Utf8(text), Utf8(expected)) << "round " << round << ", text " << Utf8(original);
    }
}

}  // namespace
