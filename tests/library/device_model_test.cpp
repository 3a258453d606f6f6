#include "library/device_model.h"

#include <gtest/gtest.h>

#include "library/device_information.h"
#include "library/player_library.h"
#include "support/temp_folder.h"

namespace pelmar {
namespace {

TEST(DeviceModel, NamesTheModelByProductIdAndModelNumber) {
    struct Case {
        std::uint16_t productId;
        const char* modelNumber;
        const char* name;
    };
    const std::vector<Case> cases = {
        {0x1261, "", "iPod classic"},
        {0x1261, "xB029", "iPod classic (6th generation)"},
        {0x1261, "MB565", "iPod classic (6.5th generation)"},
        {0x1261, "pc297", "iPod classic (7th generation)"},
        {0x1261, "xZ999", "iPod classic"},
        {0x1261, "B029", "iPod classic"},
        {0x1209, "MA147", "iPod video (5th generation)"},
        {0x1209, "xA448LL/A", "iPod video (5.5th generation)"},
        {0x1209, "", "iPod video (5th generation)"},
        {0x1262, "xB029", "iPod nano (3rd generation)"},
        {0x1265, "", "iPod nano (5th generation)"},
        {0x1267, "", "iPod nano (7th generation)"},
        {0x120A, "", "iPod nano (1st generation)"},
        {0x1205, "", "iPod mini"},
        {0x1303, "", "iPod shuffle (4th generation)"},
        {0x1291, "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(modelForProductId(c.productId, c.modelNumber), c.name)
            << std::hex << c.productId << " " << c.modelNumber;
    }
}

TEST(DeviceModel, NamesTheModelByModelNumberAlone) {
    struct Case {
        const char* modelNumber;
        const char* name;
    };
    const std::vector<Case> cases = {
        {"M9829", "iPod photo"},
        {"MA002", "iPod video (5th generation)"},
        {"xA444", "iPod video (5.5th generation)"},
        {"MA477", "iPod nano (2nd generation)"},
        {"xB029", "iPod classic (6th generation)"},
        {"MC297LL/A", "iPod classic (7th generation)"},
        {"PA978", "iPod nano (3rd generation)"},
        {"MB598", "iPod nano (4th generation)"},
        {"mc031", "iPod nano (5th generation)"},
        {"MC525", "iPod nano (6th generation)"},
        {" PD480 ", "iPod nano (7th generation)"},
        {"MC584", "iPod shuffle (4th generation)"},
        {"M9800", "iPod mini"},
        {"xZ999", ""},
        {"D480", ""},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(modelForModelNumber(c.modelNumber), c.name) << c.modelNumber;
    }
}

TEST(DeviceModel, ComesFromTheUsbIdAndTheSysInfoFile) {
    EXPECT_EQ(modelNumberFromSysInfo("BoardHwName: iPod\r\nModelNumStr: xB565 \r\nbuildID: 1\r\n"),
              "xB565");
    EXPECT_EQ(modelNumberFromSysInfo("ModelNumStr:MA448"), "MA448");
    EXPECT_EQ(modelNumberFromSysInfo("FirewireGuid: 0x000A27\nvisibleBuildID: 2"), "");

    test::TempFolder folder;
    PlayerLibrary library;
    library.rootPath = folder.root();
    library.deviceKind = 3;
    EXPECT_EQ(playerModel(library), "Apple iPod nano") << "no product id: the family's name";
    library.deviceProperties["USB Product ID"] = "1261";
    readDeviceIdentity(library);
    EXPECT_FALSE(library.deviceProperties.contains(std::string(kModelNumberProperty)));
    EXPECT_EQ(playerModel(library), "iPod classic");
    test::writeFile(folder.path() / "iPod_Control" / "Device" / "SysInfo",
                    {'M', 'o', 'd', 'e', 'l', 'N', 'u', 'm', 'S', 't', 'r', ':', ' ', 'x', 'C', '2',
                     '9', '3', '\n'});
    readDeviceIdentity(library);
    EXPECT_EQ(playerModel(library), "iPod classic (7th generation)");
    const std::vector<DeviceProperty> rows = deviceInformationRows(library, std::nullopt);
    ASSERT_EQ(rows.size(), 5U);
    EXPECT_EQ(rows[4].label, "Model");
    EXPECT_EQ(rows[4].value, "iPod classic (7th generation)");

    library.deviceProperties["USB Product ID"] = "1291";
    EXPECT_EQ(playerModel(library), "iPod classic (7th generation)")
        << "an id of no known player: the model number names it";
    library.deviceProperties.erase("USB Product ID");
    EXPECT_EQ(deviceInformationRows(library, std::nullopt)[4].value,
              "iPod classic (7th generation)")
        << "a folder or copy: the SysInfo file names it";
    test::writeFile(folder.path() / "iPod_Control" / "Device" / "SysInfo",
                    {'M', 'o', 'd', 'e', 'l', 'N', 'u', 'm', 'S', 't', 'r', ':', ' ', 'x', 'Z', '9',
                     '9', '9', '\n'});
    readDeviceIdentity(library);
    EXPECT_EQ(playerModel(library), "Apple iPod nano") << "an unknown number: the family's name";
}

}  // namespace
}  // namespace pelmar
