// The JSON form of the records, in process: frequencies, round trips and the refusals of
// values that do not fit their fields.

#include "RecordsJson.h"
#include "SampleRecords.h"

#include "model/Decimal.h"
#include "model/MVmem.h"
#include "model/U_E2prom.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

using mv53::cli::FormatJson;
using mv53::cli::FrequencyToJson;
using mv53::cli::Json;
using mv53::cli::RecordsFromJson;
using mv53::cli::RecordsToJson;

namespace {

// A frequency as FormatJson writes it, without the final line break.
std::string FrequencyText(const TDecimal& freq)
{
    std::string text = FormatJson(FrequencyToJson(freq));
    text.pop_back();
    return text;
}

TMVmem Cleared()
{
    TMVmem mem;
    ClearRecords(mem);
    return mem;
}

// The messages of reading json into cleared records.
std::vector<std::string> Refusals(const Json& json)
{
    TMVmem mem = Cleared();
    std::vector<std::string> errors;
    const bool ok = RecordsFromJson(json, mem, errors);
    EXPECT_EQ(ok, errors.empty());
    return errors;
}

bool Contains(const std::vector<std::string>& list, const std::string& text)
{
    return std::find(list.begin(), list.end(), text) != list.end();
}

std::string Joined(const std::vector<std::string>& list)
{
    std::string out;
    for (const auto& s : list)
        out += s + "\n";
    return out;
}

// Every record of a and b, compared record by record (TMVmem itself has no Equals).
void ExpectSameRecords(const TMVmem& a, const TMVmem& b)
{
    EXPECT_EQ(a.FwVersion(), b.FwVersion());
    for (int i = 0; i < TChannels::kCount; ++i)
        EXPECT_TRUE(a.Channels().Items(i).Equals(b.Channels().Items(i))) << "channel index " << i;
    EXPECT_EQ(a.Comport().Value(), b.Comport().Value());
    EXPECT_TRUE(a.A1A().Equals(b.A1A()));
    EXPECT_TRUE(a.Hard().Equals(b.Hard()));
    EXPECT_TRUE(a.PwrSave().Equals(b.PwrSave()));
    EXPECT_TRUE(a.Misc().Equals(b.Misc()));
    EXPECT_TRUE(a.Sys().Equals(b.Sys()));
    EXPECT_TRUE(a.Opt().Equals(b.Opt()));
    EXPECT_TRUE(a.Sel().Equals(b.Sel()));
    EXPECT_TRUE(a.TelNumbers().Equals(b.TelNumbers()));
    EXPECT_TRUE(a.AntTuner0().Equals(b.AntTuner0()));
    EXPECT_TRUE(a.AntTuner1().Equals(b.AntTuner1()));
    EXPECT_TRUE(a.Alignment().Equals(b.Alignment()));
    EXPECT_TRUE(a.TmpCorrect().Equals(b.TmpCorrect()));
    EXPECT_TRUE(a.FactoryOpt().Equals(b.FactoryOpt()));
}

}  // namespace

// Frequencies the image can hold (units of 10 Hz, 0.5..30 MHz), as DecodeImage makes them, are
// written as their own decimal text and read back to the same TDecimal: every 7th step of the
// range (7 is prime to 10, so all endings of the fraction occur) and the steps near both ends.
TEST(RecordsJsonFrequency, StepsOfTenHertzAreWrittenAsTheirDecimal)
{
    int failures = 0;
    const auto next = [](int units) { return units < 51000 || units >= 2999000 ? units + 1 : units + 7; };
    for (int units = 50000; units <= 3000000 && failures < 5; units = next(units)) {
        TDecimal freq;
        freq.FromFloat(units / 100000.0);
        const std::string text = FrequencyText(freq);
        std::string fraction = std::to_string(100000 + units % 100000).substr(1);
        while (fraction.size() > 1 && fraction.back() == '0')
            fraction.pop_back();
        const std::string decimal = std::to_string(units / 100000) + "." + fraction;
        TDecimal back;
        back.FromFloat(Json::parse(text).get<double>());
        if (text != decimal || !back.Equals(freq) || back.ToScaled(5) != units) {
            ADD_FAILURE() << units << " written as " << text;
            ++failures;
        }
    }
}

TEST(RecordsJsonFrequency, ExactTextsAndRefusals)
{
    const auto text = [](double v) {
        TDecimal d;
        d.FromFloat(v);
        return FrequencyText(d);
    };
    EXPECT_EQ(text(7.053), "7.053");
    EXPECT_EQ(text(29.99999), "29.99999");
    EXPECT_EQ(text(0.5), "0.5");
    EXPECT_EQ(text(30.0), "30.0");

    Json json = RecordsToJson(Cleared());
    auto& ch = json["Channels"][7];
    ch["RxFreq"] = 30;   // an integer is a number of MHz as well
    ch["TxFreq"] = 0.5;
    EXPECT_TRUE(Refusals(json).empty()) << Joined(Refusals(json));

    ch["RxFreq"] = 30.00001;
    ch["TxFreq"] = 0.49999;
    auto errors = Refusals(json);
    EXPECT_TRUE(Contains(errors, "Channels[7].RxFreq: 30.00001 is out of range 0.5..30.0")) << Joined(errors);
    EXPECT_TRUE(Contains(errors, "Channels[7].TxFreq: 0.49999 is out of range 0.5..30.0")) << Joined(errors);

    ch["RxFreq"] = 7.123456;
    ch["TxFreq"] = 7.05300000000001;
    errors = Refusals(json);
    EXPECT_TRUE(Contains(errors, "Channels[7].RxFreq: 7.123456 has more than 5 fraction digits")) << Joined(errors);
    EXPECT_EQ(errors.size(), 2u) << Joined(errors);

    ch["RxFreq"] = "7.053";
    errors = Refusals(json);
    EXPECT_TRUE(Contains(errors, "Channels[7].RxFreq: expected a number of MHz, got \"7.053\"")) << Joined(errors);
}

TEST(RecordsJsonRoundTrip, NonDefaultRecordsReadBackEqual)
{
    TMVmem sample;
    mv53::test::FillSampleRecords(sample);
    sample.SetFwVersion("12AB");
    sample.FactoryOpt().SetSerialNo("1C3F0A99");

    TMVmem back = Cleared();
    std::vector<std::string> errors;
    ASSERT_TRUE(RecordsFromJson(RecordsToJson(sample), back, errors)) << Joined(errors);
    ExpectSameRecords(sample, back);

    // The formatted text parses to the same JSON, one channel per line.
    const std::string text = FormatJson(RecordsToJson(sample));
    EXPECT_EQ(Json::parse(text), RecordsToJson(sample));
    std::istringstream lines(text);
    int channelLines = 0;
    for (std::string line; std::getline(lines, line);)
        channelLines += line.rfind("    {\"Status\":", 0) == 0;
    EXPECT_EQ(channelLines, TChannels::kCount);
}

TEST(RecordsJsonRoundTrip, MissingKeysKeepTheValuesAlreadyHeld)
{
    TMVmem mem = Cleared();
    std::vector<std::string> errors;
    const Json json = Json::parse(R"({"Hard": {"Hail": 2}, "Sel": {"TxIds": ["1","2","3","4","5","6","7","8","9","0"]},
                                      "FactoryOpt": {}})");
    // TX IDs are 4 digits: each short one is refused on its own.
    EXPECT_FALSE(RecordsFromJson(json, mem, errors));
    EXPECT_EQ(errors.size(), 10u) << Joined(errors);
    EXPECT_EQ(errors.front(), "Sel.TxIds[0]: \"1\" is not 4 digits long");

    TMVmem expected = Cleared();
    expected.Hard().SetHail(2);
    mem = Cleared();
    errors.clear();
    ASSERT_TRUE(RecordsFromJson(Json::parse(R"({"Hard": {"Hail": 2}, "FactoryOpt": {}})"), mem, errors));
    ExpectSameRecords(expected, mem);
}

TEST(RecordsJsonRefusal, EveryRefusalNamesItsField)
{
    Json json = RecordsToJson(Cleared());
    json["Channels"][3]["Mode"] = 7;
    json["Channels"][4]["Mode"] = "1";
    json["Channels"][5]["Status"] = 0;
    json["Channels"][6]["Tag"] = "abc";
    json["Channels"][7]["Tag"] = "ABCDEFGHI";
    json["Channels"][8]["Mdoe"] = 1;
    json["Channels"][9]["EncryptCode"] = 16;
    json["Channels"][10]["Power"] = 1.0;
    json["Misc"]["VoxGain"] = 101;
    json["Sel"]["KillId"] = "1234567";
    json["Sel"]["SelfId"] = "12a4";
    json["TelNumbers"]["Numbers"][2] = std::string(17, '1');
    json["AntTuner1"]["Entries"][249]["TuneL"] = 512;
    json["Alignment"]["Values"][0] = -1;      // position 1 is an unsigned byte
    json["Alignment"]["Values"][5] = -129;    // position 6 a signed byte
    json["Alignment"]["Values"][48] = 32768;  // position 49 a signed 16-bit number
    json["TmpCorrect"]["Rows"][43][8] = -129;
    json["TmpCorrect"]["Rows"][2] = Json::array({1, 2, 3});
    json["FactoryOpt"]["KeyFunc"][2] = 14;
    json["FactoryOpt"]["PktOffset"] = -301;
    json["FactoryOpt"]["SerialNo"] = "1B3F0A99";
    json["Comport"] = 5;
    json["Opt"]["Tuner"] = 1;
    json["Extra"] = true;

    const auto errors = Refusals(json);
    for (const char* expected : {
             "Channels[3].Mode: 7 is out of range 0..4",
             "Channels[4].Mode: expected an integer, got \"1\"",
             "Channels[5].Status: 0 is neither 165 (0xA5, in use) nor 255 (0xFF, empty)",
             "Channels[6].Tag: \"abc\" has a character outside codes 32..95 (blank, digits, upper-case letters, punctuation)",
             "Channels[7].Tag: \"ABCDEFGHI\" is longer than 8 characters",
             "Channels[8]: unknown key \"Mdoe\"",
             "Channels[9].EncryptCode: 16 is out of range 0..15",
             "Channels[10].Power: expected an integer, got 1.0",
             "Misc.VoxGain: 101 is out of range 0..100",
             "Sel.KillId: \"1234567\" is not 8 digits long",
             "Sel.SelfId: \"12a4\" is not made of the digits 0..9",
             "TelNumbers.Numbers[2]: \"11111111111111111\" is longer than 16 digits",
             "AntTuner1.Entries[249].TuneL: 512 is out of range 0..511",
             "Alignment.Values[0]: -1 is out of range 0..255",
             "Alignment.Values[5]: -129 is out of range -128..127",
             "Alignment.Values[48]: 32768 is out of range -32768..32767",
             "TmpCorrect.Rows[43][8]: -129 is out of range -128..127",
             "TmpCorrect.Rows[2]: expected an array of 9 items, got 3 items",
             "FactoryOpt.KeyFunc[2]: 14 is out of range 0..13",
             "FactoryOpt.PktOffset: -301 is out of range -300..300",
             "FactoryOpt.SerialNo: \"1B3F0A99\" is not a serial number (hexadecimal digits, the second one 0, C..N or *)",
             "Comport: expected an object, got 5",
             "Opt: unknown key \"Tuner\"",
             "(top level): unknown key \"Extra\"",
         })
        EXPECT_TRUE(Contains(errors, expected)) << "missing: " << expected << "\ngot:\n" << Joined(errors);
    EXPECT_EQ(errors.size(), 24u) << Joined(errors);
}

TEST(RecordsJsonRefusal, ShapesOfListsAndTheWhole)
{
    Json json = RecordsToJson(Cleared());
    json["Channels"].erase(json["Channels"].size() - 1);
    json["Sel"]["TxIds"] = "0000";
    json["FactoryOpt"]["KeyFunc"].push_back(0);
    auto errors = Refusals(json);
    EXPECT_TRUE(Contains(errors, "Channels: expected an array of 500 items, got 499 items")) << Joined(errors);
    EXPECT_TRUE(Contains(errors, "Sel.TxIds: expected an array of 10 items, got \"0000\"")) << Joined(errors);
    EXPECT_TRUE(Contains(errors, "FactoryOpt.KeyFunc: expected an array of 3 items, got 4 items")) << Joined(errors);
    EXPECT_EQ(errors.size(), 3u);

    errors = Refusals(Json::array());
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "(top level): expected an object, got an array");
}

TEST(RecordsJsonRefusal, LimitsOfTextsAreAccepted)
{
    Json json = RecordsToJson(Cleared());
    json["Channels"][0]["Tag"] = "@[\\]^_ !";   // codes 64, 91..95, 32, 33
    json["Channels"][1]["Tag"] = "";
    json["TelNumbers"]["Numbers"][0] = "";
    json["TelNumbers"]["Numbers"][1] = std::string(16, '9');
    json["FactoryOpt"]["SerialNo"] = "F*FFFFFF";
    json["FwVersion"] = "0A1F";
    json["Alignment"]["Values"][49] = -32768;
    json["TmpCorrect"]["Rows"][0][0] = 127;
    EXPECT_TRUE(Refusals(json).empty()) << Joined(Refusals(json));
}
