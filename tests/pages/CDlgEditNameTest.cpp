#include "CDlgEditChannelName.h"
#include "CDlgEditDeviceName.h"
#include "ModalDriver.h"
#include "UiActions.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// What differs between the two dialogs; the tests run on both.
struct DeviceDialog {
    using Dialog = CDlgEditDeviceName;
    using Record = DeviceProperties;
    static constexpr int Edit = IDC_DEVICE_NAME_EDIT;
    static constexpr const char* Caption = "Edit Device Name";
    static char (&Name(Record& record))[40] { return record.DeviceName; }
};

struct ChannelDialog {
    using Dialog = CDlgEditChannelName;
    using Record = ChannelProperties;
    static constexpr int Edit = IDC_CHANNEL_NAME_EDIT;
    static constexpr const char* Caption = "Edit Channel Name";
    static char (&Name(Record& record))[40] { return record.ChannelName; }
};

template <typename T> class NameDialog : public ::testing::Test {
protected:
    using Record = typename T::Record;
    Record record;
    Record original;
    std::string shown;

    // Every byte of the record marked, so that any stray write shows.
    void SetUp() override {
        std::memset(&record, 0xA5, sizeof record);
        SetName("Old name");
        original = record;
    }
    void SetName(const std::string& name) {
        std::memcpy(T::Name(record), name.c_str(), name.size() + 1);
    }

    // Runs the dialog on the record; the action plays the person.
    INT_PTR Run(ModalDriver::Action action) {
        typename T::Dialog dialog(&record);
        ModalDriver driver;
        driver.Then([this, action](HWND hDlg) {
            shown = ChildText(hDlg, T::Edit);
            action(hDlg);
        });
        INT_PTR result = dialog.DoModal();
        EXPECT_EQ(1, driver.Handled());
        EXPECT_EQ(std::deque<std::string>(driver.Handled() == 1, T::Caption), driver.Captions());
        return result;
    }
    // Types the text over the name and confirms; the edit box shows what it
    // took: the text, or the name as it was when the text would not fit.
    INT_PTR Confirm(const std::string& typed, std::string* taken = nullptr) {
        return Run([typed, taken](HWND hDlg) {
            SetChildText(hDlg, T::Edit, typed);
            if (taken != nullptr)
                *taken = ChildText(hDlg, T::Edit);
            ClickButton(hDlg, IDOK);
        });
    }
    // Every byte outside the name field as it was.
    void ExpectRestUntouched() const {
        const auto* now = reinterpret_cast<const unsigned char*>(&record);
        const auto* was = reinterpret_cast<const unsigned char*>(&original);
        const size_t field = static_cast<size_t>(T::Name(const_cast<Record&>(record)) -
                                                 reinterpret_cast<const char*>(&record));
        EXPECT_EQ(0, std::memcmp(now, was, field));
        EXPECT_EQ(0, std::memcmp(now + field + 40, was + field + 40, sizeof record - field - 40));
    }
    std::string StoredName() { return FieldText(T::Name(record)); }
};

using Dialogs = ::testing::Types<DeviceDialog, ChannelDialog>;
TYPED_TEST_SUITE(NameDialog, Dialogs);

TYPED_TEST(NameDialog, ShowsTheCurrentNameAndConfirmingUneditedWritesItBack) {
    EXPECT_EQ(IDOK, this->Run([](HWND hDlg) { ClickButton(hDlg, IDOK); }));
    EXPECT_EQ("Old name", this->shown);
    // Only the field's last byte changes: OK always forces it to 0.
    TypeParam::Name(this->original)[39] = '\0';
    EXPECT_EQ(0, std::memcmp(&this->record, &this->original, sizeof this->record));
}

// The edit box takes a name of up to 39 bytes and refuses a longer one
// whole, keeping the name it had, so that nothing typed is cut unseen.
TYPED_TEST(NameDialog, StoresUpTo39BytesAndRefusesLongerNamesInTheEditBox) {
    const std::string names[] = {std::string(39, 'a'), std::string(40, 'b'),
                                 std::string(39, 'c') + "123456"};
    for (const std::string& name : names) {
        SCOPED_TRACE(name.size());
        const std::string before = this->StoredName();
        std::string taken;
        EXPECT_EQ(IDOK, this->Confirm(name, &taken));
        const std::string kept = name.size() <= 39 ? name : before;
        EXPECT_EQ(kept, taken);
        EXPECT_EQ(kept, this->StoredName());
        EXPECT_EQ('\0', TypeParam::Name(this->record)[39]);
        this->ExpectRestUntouched();
    }
}

// Shift-JIS: "\x82\xa0" is one character of two bytes.
const std::string kWide = "\x82\xa0";

std::string Repeated(const std::string& text, int count) {
    std::string result;
    for (int i = 0; i < count; ++i)
        result += text;
    return result;
}

bool DoubleByteSystem() {
    return ::GetACP() == 932;
}

// In a double-byte code page the limit is bytes, not characters: 19 wide
// characters and one narrow fit, 20 wide ones do not.
TYPED_TEST(NameDialog, DoubleByteNamesAreLimitedByTheirBytes) {
    if (!DoubleByteSystem())
        GTEST_SKIP() << "needs the system code page 932";
    const std::string fits = Repeated(kWide, 19) + "x";
    std::string taken;
    EXPECT_EQ(IDOK, this->Confirm(fits, &taken));
    EXPECT_EQ(fits, taken);
    EXPECT_EQ(fits, this->StoredName());
    EXPECT_EQ(IDOK, this->Confirm(Repeated(kWide, 20), &taken));
    EXPECT_EQ(fits, taken);
    EXPECT_EQ(fits, this->StoredName());
    this->ExpectRestUntouched();
}

// A driver's name that fills all 40 bytes is kept to 39 on OK, and the cut
// never splits a character: the last wide character goes whole.
TYPED_TEST(NameDialog, ALongDoubleByteNameFromTheDriverIsCutBetweenCharacters) {
    if (!DoubleByteSystem())
        GTEST_SKIP() << "needs the system code page 932";
    std::memcpy(TypeParam::Name(this->record), Repeated(kWide, 20).data(), 40);
    this->original = this->record;
    EXPECT_EQ(IDOK, this->Run([](HWND hDlg) { ClickButton(hDlg, IDOK); }));
    EXPECT_EQ(Repeated(kWide, 20), this->shown);
    EXPECT_EQ(Repeated(kWide, 19), this->StoredName());
    this->ExpectRestUntouched();
}

TYPED_TEST(NameDialog, ShortNameLeavesTheBytesBehindItsTerminator) {
    EXPECT_EQ(IDOK, this->Confirm("Mic"));
    const char* field = TypeParam::Name(this->record);
    EXPECT_EQ(0, std::memcmp(field, "Mic\0name", 9));
    // The last byte is forced to 0 whatever lay there.
    EXPECT_EQ('\0', field[39]);
    this->ExpectRestUntouched();
}

TYPED_TEST(NameDialog, AnEmptyNameIsAccepted) {
    EXPECT_EQ(IDOK, this->Confirm(""));
    EXPECT_EQ("", this->StoredName());
    this->ExpectRestUntouched();
}

TYPED_TEST(NameDialog, CancelLeavesTheRecordByteForByte) {
    EXPECT_EQ(IDCANCEL, this->Run([](HWND hDlg) {
        SetChildText(hDlg, TypeParam::Edit, "Changed");
        ClickButton(hDlg, IDCANCEL);
    }));
    EXPECT_EQ(0, std::memcmp(&this->record, &this->original, sizeof this->record));
}

TYPED_TEST(NameDialog, AnUnterminatedNameIsReadWithinItsField) {
    std::memset(TypeParam::Name(this->record), 'U', 40);
    this->original = this->record;
    EXPECT_EQ(IDCANCEL, this->Run([](HWND hDlg) { ClickButton(hDlg, IDCANCEL); }));
    EXPECT_EQ(std::string(40, 'U'), this->shown);
}

using ChannelNameDialog = NameDialog<ChannelDialog>;

TEST_F(ChannelNameDialog, ClosingThroughTheSystemMenuChangesNothing) {
    EXPECT_EQ(IDCANCEL, Run([](HWND hDlg) {
                  EXPECT_NE(0, ::GetWindowLongA(hDlg, GWL_STYLE) & WS_SYSMENU);
                  SetChildText(hDlg, IDC_CHANNEL_NAME_EDIT, "Changed");
                  ::SendMessageA(hDlg, WM_SYSCOMMAND, SC_CLOSE, 0);
              }));
    EXPECT_EQ(0, std::memcmp(&record, &original, sizeof record));
}

} // namespace
