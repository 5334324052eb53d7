// The JSON form of the records, in process: frequency texts, missing keys and the refusals of
// values that do not fit their fields.

#include "RecordsJson.h"
#include "TestRecords.h"

#include "model/Decimal.h"
#include "model/MVmem.h"
#include "model/U_E2prom.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using mv53::cli::FormatJson;
using mv53::cli::FrequencyToJson;
using mv53::cli::Json;
using mv53::cli::RecordsFromJson;
using mv53::cli::RecordsToJson;
using mv53::test::ClearedRecords;

namespace {

// A frequency as FormatJson writes it, without the final line break.
std::string FrequencyText(double mhz)
{
    TDecimal freq;
    freq.FromFloat(mhz);
    std::string text = FormatJson(FrequencyToJson(freq));
    text.pop_back();
    return text;
}

// The messages of reading json into cleared records, one a line.
std::string Refusals(const Json& json)
{
    TMVmem mem = ClearedRecords();
    std::vector<std::string> errors;
    const bool accepted = RecordsFromJson(json, mem, errors);
    EXPECT_EQ(accepted, errors.empty());
    std::string out;
    for (const auto& e : errors)
        out += e + "\n";
    return out;
}

}  // namespace

// Frequencies the image can hold (units of 10 Hz), as DecodeImage makes them, are written as
// their own decimal text and read back to the same TDecimal: every 7th step of the range (7 is
// prime to 10, so all endings of the fraction occur) and every step near both ends.
TEST(RecordsJsonFrequency, StepsOfTenHertzAreWrittenAsTheirDecimal)
{
    int failures = 0;
    const auto next = [](int units) { return units < 51000 || units >= 2999000 ? units + 1 : units + 7; };
    for (int units = 50000; units <= 3000000 && failures < 5; units = next(units)) {
        const std::string text = FrequencyText(units / 100000.0);
        std::string fraction = std::to_string(100000 + units % 100000).substr(1);
        while (fraction.size() > 1 && fraction.back() == '0')
            fraction.pop_back();
        TDecimal freq;
        freq.FromFloat(units / 100000.0);
        TDecimal back;
        back.FromFloat(Json::parse(text).get<double>());
        if (text != std::to_string(units / 100000) + "." + fraction || !back.Equals(freq)) {
            ADD_FAILURE() << units << " written as " << text;
            ++failures;
        }
    }
    EXPECT_EQ(FrequencyText(7.053), "7.053");
    EXPECT_EQ(FrequencyText(30.0), "30.0");
}

TEST(RecordsJsonFrequency, RangeDigitsAndType)
{
    Json json = RecordsToJson(ClearedRecords());
    auto& ch = json["Channels"][7];
    ch["RxFreq"] = 30;   // an integer is a number of MHz as well
    ch["TxFreq"] = 0.5;
    EXPECT_EQ(Refusals(json), "");

    ch["RxFreq"] = 30.00001;
    ch["TxFreq"] = 0.49999;
    EXPECT_EQ(Refusals(json), "Channels[7].RxFreq: 30.00001 is out of range 0.5..30.0\n"
                              "Channels[7].TxFreq: 0.49999 is out of range 0.5..30.0\n");
    ch["RxFreq"] = 7.123456;
    ch["TxFreq"] = 7.05300000000001;   // 15 significant digits, not a whole number of 10 Hz
    EXPECT_EQ(Refusals(json), "Channels[7].RxFreq: 7.123456 has more than 5 fraction digits\n"
                              "Channels[7].TxFreq: 7.05300000000001 has more than 5 fraction digits\n");
    ch["RxFreq"] = "7.053";
    ch["TxFreq"] = nullptr;
    EXPECT_EQ(Refusals(json), "Channels[7].RxFreq: expected a number of MHz, got \"7.053\"\n"
                              "Channels[7].TxFreq: expected a number of MHz, got null\n");
}

TEST(RecordsJsonRead, MissingKeysKeepTheValuesHeld)
{
    TMVmem mem = ClearedRecords();
    std::vector<std::string> errors;
    ASSERT_TRUE(RecordsFromJson(Json::parse(R"({"Hard": {"LampMode": 4}, "FactoryOpt": {}})"), mem, errors));
    EXPECT_TRUE(mv53::test::SameRecords(mem, ClearedRecords([](TMVmem& m) { m.Hard().SetLampMode(4); })));
    EXPECT_EQ(mem.FwVersion(), "----");
}

TEST(RecordsJsonRead, EveryRefusalNamesItsField)
{
    Json json = RecordsToJson(ClearedRecords());
    json["Channels"][3]["Mode"] = 7;
    json["Channels"][4]["Power"] = 1.0;
    json["Channels"][5]["Status"] = 0;
    json["Channels"][6]["Tag"] = "abc";
    json["Channels"][7]["Tag"] = "ABCDEFGHI";
    json["Channels"][8]["Mdoe"] = 1;
    json["Channels"][9]["EncryptCode"] = 16;
    json["Sel"]["KillId"] = "1234567";
    json["Sel"]["SelfId"] = "12a4";
    json["TelNumbers"]["Numbers"][2] = std::string(17, '1');
    json["AntTuner1"]["Entries"][249]["TuneL"] = 512;
    json["Alignment"]["Values"][0] = -1;      // position 1 is an unsigned byte
    json["Alignment"]["Values"][5] = -129;    // position 6 a signed byte
    json["Alignment"]["Values"][48] = 32768;  // position 49 a signed 16-bit number
    json["TmpCorrect"]["Rows"][43][8] = -129;
    json["TmpCorrect"]["Rows"][2] = Json::array({1, 2, 3});
    json["FactoryOpt"]["KeyFunc"] = Json::array({0, 14});
    json["FactoryOpt"]["SerialNo"] = "1B3F0A99";
    json["Comport"] = 5;
    json["Extra"] = true;

    EXPECT_EQ(Refusals(json),
              "Channels[3].Mode: 7 is out of range 0..4\n"
              "Channels[4].Power: expected an integer, got 1.0\n"
              "Channels[5].Status: 0 is neither 165 (0xA5, in use) nor 255 (0xFF, empty)\n"
              "Channels[6].Tag: \"abc\" has a character outside codes 32..95 (blank, digits, upper-case letters, punctuation)\n"
              "Channels[7].Tag: \"ABCDEFGHI\" is longer than 8 characters\n"
              "Channels[8]: unknown key \"Mdoe\"\n"
              "Channels[9].EncryptCode: 16 is out of range 0..15\n"
              "Comport: expected an object, got 5\n"
              "Sel.KillId: \"1234567\" is not 8 digits long\n"
              "Sel.SelfId: \"12a4\" is not made of the digits 0..9\n"
              "TelNumbers.Numbers[2]: \"11111111111111111\" is longer than 16 digits\n"
              "AntTuner1.Entries[249].TuneL: 512 is out of range 0..511\n"
              "Alignment.Values[0]: -1 is out of range 0..255\n"
              "Alignment.Values[5]: -129 is out of range -128..127\n"
              "Alignment.Values[48]: 32768 is out of range -32768..32767\n"
              "TmpCorrect.Rows[2]: expected an array of 9 items, got 3 items\n"
              "TmpCorrect.Rows[43][8]: -129 is out of range -128..127\n"
              "FactoryOpt.KeyFunc: expected an array of 3 items, got 2 items\n"
              "FactoryOpt.SerialNo: \"1B3F0A99\" is not a serial number (hexadecimal digits, the second one 0, C..N or *)\n"
              "(top level): unknown key \"Extra\"\n");
    EXPECT_EQ(Refusals(Json::array()), "(top level): expected an object, got an array\n");
}

TEST(RecordsJsonRead, LimitsOfTheFieldsAreAccepted)
{
    Json json = RecordsToJson(ClearedRecords());
    json["Channels"][0]["Tag"] = "@[\\]^_ !";   // codes 64, 91..95, 32, 33
    json["Channels"][1]["Tag"] = "";
    json["Channels"][2]["Status"] = 0xA5;
    json["TelNumbers"]["Numbers"][0] = "";
    json["TelNumbers"]["Numbers"][1] = std::string(16, '9');
    json["FactoryOpt"]["SerialNo"] = "F*FFFFFF";
    json["FactoryOpt"]["PktOffset"] = 300;
    json["FwVersion"] = "0A1F";
    json["Alignment"]["Values"][49] = -32768;
    json["TmpCorrect"]["Rows"][0][0] = 127;
    EXPECT_EQ(Refusals(json), "");
}
