// The serial numbers of the production line: the numbering rules, the Serial Writer window
// against the simulated radio, and `mv53 serial-write` as a process.

#include "RunProcess.h"
#include "ServiceTestSupport.h"
#include "service/SerialNumbering.h"
#include "service/SerialWriter.h"

#include <QLabel>
#include <QTimer>
#include <QTest>

namespace sw = mv53::serialw;
using mv53::test::HostCall;
using K = TTransferKind;

TEST(SerialNumbering, LeavingAnEditNormalisesItsText)
{
    const std::tuple<std::string (*)(const std::string&), const char*, const char*> cases[] = {
        {sw::NormalizeYear, "7", "2007"},     {sw::NormalizeYear, "2031", "2031"},
        {sw::NormalizeYear, "", "2000"},      {sw::NormalizeYear, "12345", "2345"},
        {sw::NormalizeMonth, "13", "12"},     {sw::NormalizeMonth, "0", "01"},
        {sw::NormalizeMonth, "1a", "01"},     {sw::NormalizeMonth, " 10 ", "10"},
        {sw::NormalizeLot, "100", "01"},      {sw::NormalizeLot, "5", "05"},
        {sw::NormalizeNumber, "10000", "0001"}, {sw::NormalizeNumber, "41", "0041"},
    };
    for (const auto& [rule, typed, shown] : cases)
        EXPECT_EQ(rule(typed), shown) << typed;
}

TEST(SerialNumbering, NextNumberAndAdvance)
{
    EXPECT_EQ(sw::NextSerialNumber({"2031", "10", "12", "0345"}), "1L120345");
    EXPECT_EQ(sw::NextSerialNumber({"2026", "03", "00", "0001"}), "6E000001");
    EXPECT_EQ(sw::NextSerialNumber({"2026", "01", "00", "0001"}).substr(1, 1), "C");
    EXPECT_EQ(sw::NextSerialNumber({"2026", "12", "00", "0001"}).substr(1, 1), "N");
    // lot and number, then the lot and number that follow
    for (const auto& [lot, number, next] : {std::tuple{"05", "9999", "06/0001"}, {"99", "9999", "00/0001"},
                                            {"00", "0041", "00/0042"}, {"00", "0000", "00/0001"}}) {
        sw::TSerialFields f{"2026", "03", lot, number};
        sw::Advance(f);
        EXPECT_EQ(f.Year + f.Month + f.Lot + "/" + f.Number, std::string("202603") + next) << lot << "/" << number;
    }
}

namespace {

class SerialWriterTest : public mv53::test::ServiceWindowTest {
protected:
    void SetUp() override
    {
        ServiceWindowTest::SetUp();
        state.ServiceMode = state.SerialMode = true;
    }
    TServiceHost WriterHost()
    {
        TServiceHost host = Host();
        host.Upload = [this] {
            const TTransferRequest upload{.AutoStart = true, .InChain = true};
            calls.push_back({upload.Kind, upload.AutoStart, upload.InChain});
            return !radio || RunCloneWindow(state, upload, nullptr);   // without a radio: the upload succeeds
        };
        host.CommitGrid = [] { return true; };
        return host;
    }
    std::string RadioSerial() const { return RadioRecords().FactoryOpt().SerialNo(); }
    // What the window shows: year, month, lot, number, the next serial number and the one read back.
    static std::vector<std::string> Numbers(const TfrmSerialW& frm)
    {
        std::vector<std::string> texts;
        for (const QLineEdit* e : std::initializer_list<const QLineEdit*>{frm.edtYear, frm.edtMonth, frm.edtLot, frm.edtSerial,
                                                                          frm.edtSerialNo, frm.edtReadSerialNo})
            texts.push_back(e->text().toStdString());
        return texts;
    }
};

}  // namespace

TEST_F(SerialWriterTest, StartsOnTodayAndLeavingAnEditUpdatesTheNextNumber)
{
    TfrmSerialW frm(state, WriterHost(), nullptr, QDate(2031, 10, 5));
    frm.show();
    EXPECT_EQ(Numbers(frm), (std::vector<std::string>{"2031", "10", "00", "0000", "1L000000", ""}));
    frm.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frm));
    frm.edtLot->setFocus();
    QTest::keyClicks(frm.edtLot, QStringLiteral("x12"));   // "x" is refused, "1" enters the edit state
    frm.edtSerial->setFocus();
    QTest::keyClick(frm.edtSerial, Qt::Key_Backspace);
    QTest::keyClicks(frm.edtSerial, QStringLiteral("345"));
    QTest::keyClick(frm.edtSerial, Qt::Key_Return);
    EXPECT_EQ(Numbers(frm), (std::vector<std::string>{"2031", "10", "12", "0345", "1L120345", ""}));
    frm.btnClose->click();
    EXPECT_FALSE(frm.isVisible());
}

TEST_F(SerialWriterTest, WriteGivesTheRadioTheNumberAndReadsItBack)
{
    StartRadio(mv53::test::ClearedRecords([](TMVmem& m) { m.FactoryOpt().SetSerialNo("00000000"); }));
    TfrmSerialW frm(state, WriterHost(), nullptr, QDate(2026, 3, 1));
    frm.show();
    frm.edtLot->setText(QStringLiteral("05"));
    frm.edtSerial->setText(QStringLiteral("9999"));
    frm.btnSnWrite->click();
    EXPECT_EQ(RadioSerial(), "6E059999");
    EXPECT_EQ(Numbers(frm), (std::vector<std::string>{"2026", "03", "06", "0001", "6E060001", "6E059999"}));
    EXPECT_TRUE(frm.lblLastWrite->text().isEmpty());
    EXPECT_TRUE(prompt.texts().empty());   // a chain shows no completion messages
    EXPECT_EQ(clicker->windows, 0);        // and starts every transfer by itself
    EXPECT_EQ(calls, (std::vector<HostCall>{{K::Upload, true, true}, {K::Factory, true, true}, {K::ReadSerial, true, true}}));

    // The next radio gets the next number.
    frm.btnSnWrite->click();
    EXPECT_EQ(RadioSerial(), "6E060001");
}

// A failed upload writes nothing and keeps the number. A radio that refuses the factory write
// uses its number up all the same (never given twice), and the window says to set it aside.
TEST_F(SerialWriterTest, FailedTransfersSayWhichAndNeverGiveANumberTwice)
{
    // silent: else the radio refuses the factory write
    const std::tuple<bool, const char*, const char*, const char*, const char*> cases[] = {
        {true, "Upload error", "0041", "", ""},
        {false, "Download error", "0042", "6E000007", kLastWriteFailed},
    };
    for (const auto& [silent, message, next, readBack, lastWrite] : cases) {
        SCOPED_TRACE(message);
        StartRadio(mv53::test::ClearedRecords([](TMVmem& m) { m.FactoryOpt().SetSerialNo("6E000007"); }));
        mv53::radiosim::Faults faults;
        faults.silent = silent;
        faults.refuseWriteBegin = !silent;
        radio->SetFaults(faults);
        prompt.shown.clear();
        TfrmSerialW frm(state, WriterHost(), nullptr, QDate(2026, 3, 1));
        frm.show();
        frm.edtSerial->setText(QStringLiteral("0041"));
        frm.btnSnWrite->click();
        EXPECT_EQ(prompt.texts(), std::vector<std::string>{message});
        EXPECT_EQ(frm.edtSerial->text().toStdString(), next);
        EXPECT_EQ(frm.edtReadSerialNo->text().toStdString(), readBack);   // the read-back runs after a failed write
        EXPECT_EQ(frm.lblLastWrite->text().toStdString(), lastWrite);
        for (const auto& f : radio->Frames())
            EXPECT_TRUE(!silent || f.command != mv53::radiosim::cmd::WriteBegin) << f.command;
    }
}

// During a chain, the 2-second pause included, no command, edit or closing is taken: a click on
// "S/N Write" would write a number that the running chain then overwrites with the next one.
TEST_F(SerialWriterTest, NothingIsTakenWhileAChainRuns)
{
    TServiceHost host = WriterHost();
    std::unique_ptr<TfrmSerialW> frm;
    const auto enabledControls = [&] {   // buttons and edits
        const auto widgets = frm->findChildren<QWidget*>();
        return std::count_if(widgets.begin(), widgets.end(), [](QWidget* w) {
            return w->isEnabled() && (qobject_cast<QPushButton*>(w) || qobject_cast<mv53::service::TTwoStateEdit*>(w));
        });
    };
    long enabled = -1;
    bool visible = false;
    // What the operator tries once the channel data are written, in the pause before the number.
    const auto tryEverything = [&] {
        enabled = enabledControls();
        QTest::mouseClick(frm->btnSnWrite, Qt::LeftButton);
        QTest::keyClick(frm.get(), Qt::Key_Escape);
        frm->close();   // as the title bar's close box does
        visible = frm->isVisible();
    };
    host.Download = [&, recorded = host.Download](TProgramState& s, const TTransferRequest& r, QWidget* parent,
                                                  std::string* serial) {
        if (r.Kind == TTransferKind::UserData)
            QTimer::singleShot(0, frm.get(), tryEverything);
        return recorded(s, r, parent, serial);
    };
    frm = std::make_unique<TfrmSerialW>(state, host, nullptr, QDate(2026, 3, 1));
    frm->show();
    QTest::mouseClick(frm->btnChWrite, Qt::LeftButton);
    EXPECT_EQ(enabled, 0);
    EXPECT_TRUE(visible);
    EXPECT_EQ(calls, (std::vector<HostCall>{{K::UserData, true, true}, {K::Upload, true, true}, {K::Factory, true, true}, {K::ReadSerial, true, true}}));
    EXPECT_EQ(enabledControls(), 8);
}

// The line under the numbers tells a refused write, no answer to the read-back and another
// number read back apart; the next radio starts without it.
TEST_F(SerialWriterTest, TheLastWriteLineSaysWhatWentWrongWithThatRadio)
{
    bool uploads = true;
    bool written = true;
    std::string readBack;   // empty: no answer
    TServiceHost host = Host();
    host.Upload = [&] { return uploads; };
    host.Download = [&](TProgramState&, const TTransferRequest& r, QWidget*, std::string* serial) {
        if (r.Kind == TTransferKind::ReadSerial)
            *serial = readBack;
        return r.Kind == TTransferKind::Factory ? written : !readBack.empty();
    };
    TfrmSerialW frm(state, host, nullptr, QDate(2026, 3, 1));
    frm.show();
    for (const auto& [write, read, line] : {std::tuple{false, "6E000000", kLastWriteFailed},
                                            {true, "", kLastWriteUnanswered}, {true, "6E000099", kLastWriteDiffers}}) {
        std::tie(uploads, written, readBack) = std::tuple{true, write, read};
        QTest::mouseClick(frm.btnSnWrite, Qt::LeftButton);
        EXPECT_EQ(frm.lblLastWrite->text().toStdString(), line);
        uploads = false;   // the next radio cannot even be read: the line about this one goes all the same
        QTest::mouseClick(frm.btnSnWrite, Qt::LeftButton);
        EXPECT_TRUE(frm.lblLastWrite->text().isEmpty());
    }
}

// ---- mv53 serial-write -----------------------------------------------------------------------

namespace {

class CliSerialWrite : public mv53::test::ServiceWindowTest {
protected:
    std::string out;
    std::string err;

    mv53::test::ScratchDir dir;

    // The radio is COM3 through the "PORTS" section of the configuration file given.
    int Run(const std::string& extra, const std::string& fields = "--year 2031 --month 10 --lot 12")
    {
        const std::string ini = dir.Write("MV53Win.ini", "[PORTS]\nCOM3=" + radio->DevicePath() + "\n");
        std::vector<std::string> args{"serial-write", "--port", "COM3", "--config", ini};
        for (const QString& a : QString::fromStdString(fields + " " + extra).split(QLatin1Char(' '), Qt::SkipEmptyParts))
            args.push_back(a.toStdString());
        const mv53::test::ProcessResult r = mv53::test::RunProcess(MV53_CLI_PATH, args);
        std::tie(out, err) = std::tie(r.out, r.err);
        return r.status;
    }
};

}  // namespace

TEST_F(CliSerialWrite, FailuresEndWithTheTransferMessage)
{
    using Faults = mv53::radiosim::Faults;
    StartRadio(mv53::test::ClearedRecords());
    // The fault, the number written, a part of standard error, and the line printed (its start
    // where the reason names the port).
    const std::tuple<void (*)(Faults&), const char*, const char*, const char*> cases[] = {
        {[](Faults& f) { f.refuseWriteBegin = true; }, "5", "Download error",
         "failed 1L120005: the factory area was not written: The radio refused the start of the write (WriteBegin 0x0008).\n"},
        {[](Faults& f) { f.silent = true; }, "5", "Upload error",
         "failed 1L120005: the radio was not read, the number was not used: "},
        // The radio answers the read-back's connection but holds back its serial number (answers
        // counted from the upload's Identify: the upload's 62, the write's 18, the read-back's
        // Identify): the number is used, and the line says the radio did not give it back rather
        // than that it gave another.
        {[](Faults& f) { f.lateAnswer = 81, f.lateBy = std::chrono::seconds(3); }, "6", "",
         "failed 1L120006: the factory area was written, but the radio did not give its number back: the "
         "radio did not answer the serial number request.\n"},
        // The radio takes the write but keeps the number it holds, the one written before.
        {[](Faults& f) { f.keepSerial = true; }, "7", "The radio reports serial number \"1L120006\" instead of \"1L120007\".",
         "written 1L120007 read 1L120006\n"},
    };
    for (const auto& [fault, number, error, line] : cases) {
        SCOPED_TRACE(line);
        Faults faults;
        fault(faults);
        radio->SetFaults(faults);
        EXPECT_EQ(Run(std::string("--number ") + number), 1);
        EXPECT_NE(err.find(error), std::string::npos) << err;
        EXPECT_EQ(out.rfind(line, 0), 0u) << out;
        EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
    }
}

// A typo in a field is refused with the field and its range before the port is opened, not
// normalised into another serial number.
TEST_F(CliSerialWrite, FieldsOutOfRangeAreRefusedBeforeTheRadio)
{
    StartRadio(mv53::test::ClearedRecords());
    const std::pair<const char*, const char*> cases[] = {
        {"--year 2031 --month 13 --lot 12 --number 5", "--month must be 1 to 12 (not \"13\")\n"},
        {"--year 2031 --month 10 --lot 12 --number 123456", "--number must be 0 to 9999 (not \"123456\")\n"},
        {"--year 2031 --month 10 --lot x --number 5", "--lot must be 0 to 99 (not \"x\")\n"},
        {"--year 20266 --month 10 --lot 12 --number 5", "--year must be 1000 to 9999 (not \"20266\")\n"},
        {"--year 2031 --month 10 --lot 12 --number 5 --count 0", "--count must be 1 to 999999999 (not \"0\")\n"},
    };
    for (const auto& [fields, message] : cases) {
        SCOPED_TRACE(fields);
        EXPECT_EQ(Run("", fields), 1);
        EXPECT_EQ(err, message);
        EXPECT_TRUE(out.empty());
    }
    EXPECT_EQ(radio->BytesReceived(), 0u);
}
