// A new grid look gives the drop-down editors already created the XP
// component style.
#include "ExGridEditTestSupport.h"

#include "grid/ExGrid_DropDownEditors.h"

using namespace platform;
using namespace edittest;

namespace {
struct DropDownLook : GridFixture
{
};
} // namespace

TEST_F(DropDownLook, NewLookGivesTheCreatedDropDownsTheXPStyle)
{
    TGridMemoDropDown* memo = grid->MemoDropDown();
    grid->SetComponentStyle(tsOffice2007Luna);
    ASSERT_EQ(memo->GetComponentStyle(), tsOffice2007Luna);
    grid->SetLook(glStandard);
    EXPECT_EQ(memo->GetComponentStyle(), tsWindowsXP);
}
