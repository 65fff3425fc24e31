// The XML documents: structure by position, attribute order, round trips through text and files,
// parse errors that leave the document alone, encodings, and saves that never damage the old file.
#include <gtest/gtest.h>

#include "core/XmlDocument.h"
#include "platform/memory/MemoryFileSystem.h"

namespace korvane {
namespace {

// The names of the root's children, in order.
std::vector<std::string> ChildNames(const XmlElement& parent) {
    std::vector<std::string> names;
    for (int i = 0; i < parent.ChildCount(); ++i) names.push_back(parent.Child(i).Name());
    return names;
}

std::vector<std::string> Ids(const XmlElement& parent) {
    std::vector<std::string> ids;
    for (const XmlElement& child : parent.Children()) ids.push_back(child.Attribute("ID"));
    return ids;
}

void FillHistory(XmlDocument& doc, int elements) {
    doc.Reset("Korvane");
    for (int i = 0; i < elements; ++i)
        doc.DocumentElement().AppendChild("ELEMENT").SetAttribute("ID", std::to_string(i));
}

TEST(XmlDocumentTest, ResetGivesOneEmptyRootAndAppendAddsAtTheEnd) {
    XmlDocument doc;
    EXPECT_FALSE(doc.DocumentElement());
    doc.Reset("IgnoreList");
    XmlElement root = doc.DocumentElement();
    ASSERT_TRUE(root);
    EXPECT_EQ(root.Name(), "IgnoreList");
    EXPECT_EQ(root.ChildCount(), 0);
    XmlElement first = root.AppendChild("ITEM");
    XmlElement second = root.AppendChild("ELEMENT");
    EXPECT_EQ(root.ChildCount(), 2);
    EXPECT_EQ(root.Child(0), first);
    EXPECT_EQ(root.Child(1), second);
    EXPECT_FALSE(root.Child(2));
    EXPECT_FALSE(root.Child(-1));
    // A new Reset throws the old content away.
    doc.Reset("Korvane");
    EXPECT_EQ(doc.DocumentElement().Name(), "Korvane");
    EXPECT_EQ(doc.DocumentElement().ChildCount(), 0);
}

TEST(XmlDocumentTest, AttributesKeepTheirFirstSetOrder) {
    XmlDocument doc;
    doc.Reset("Korvane");
    XmlElement item = doc.DocumentElement().AppendChild("ITEM");
    item.SetAttribute("SUBKEY", "Software\\A");
    item.SetAttribute("NAME", "x");
    item.SetAttribute("TYPE", "1");
    item.SetAttribute("SUBKEY", "Software\\B");  // in place, not moved to the end
    EXPECT_EQ(item.AttributeCount(), 3);
    EXPECT_EQ(item.Attribute("SUBKEY"), "Software\\B");
    EXPECT_EQ(item.Attribute("VALUE"), "");
    EXPECT_FALSE(item.HasAttribute("VALUE"));
    EXPECT_TRUE(item.HasAttribute("NAME"));
    item.SetAttribute("VALUE", "");
    EXPECT_TRUE(item.HasAttribute("VALUE"));
    EXPECT_EQ(item.AttributeCount(), 4);

    std::string text = doc.SaveText();
    EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u) << text;
    size_t subkey = text.find("SUBKEY="), name = text.find("NAME="), type = text.find("TYPE="),
           value = text.find("VALUE=");
    EXPECT_TRUE(subkey < name && name < type && type < value) << text;
    // and the order survives a load
    XmlDocument loaded;
    loaded.LoadText(text);
    EXPECT_EQ(loaded.SaveText(), text);
}

TEST(XmlDocumentTest, DeleteAtPositionMovesTheLaterChildrenUp) {
    XmlDocument doc;
    FillHistory(doc, 5);
    XmlElement root = doc.DocumentElement();
    root.DeleteChild(1);
    EXPECT_EQ(Ids(root), (std::vector<std::string>{"0", "2", "3", "4"}));
    root.DeleteChild(3);
    root.DeleteChild(0);
    EXPECT_EQ(Ids(root), (std::vector<std::string>{"2", "3"}));
    root.DeleteChild(2);  // out of range: nothing
    root.DeleteChild(-1);
    EXPECT_EQ(root.ChildCount(), 2);
    root.AppendChild("ELEMENT").SetAttribute("ID", "5");
    EXPECT_EQ(Ids(root), (std::vector<std::string>{"2", "3", "5"}));

    root.Child(0).AppendChild("ITEM");
    root.DeleteAllChildren();
    EXPECT_EQ(root.ChildCount(), 0);
    EXPECT_EQ(doc.DocumentElement().Name(), "Korvane");
    XmlDocument reloaded;
    reloaded.LoadText(doc.SaveText());
    EXPECT_EQ(reloaded.DocumentElement().ChildCount(), 0);
}

TEST(XmlDocumentTest, WalkingByPositionStaysRightWhileDeletingFromTheEnd) {
    // The restore walks from the last child to the first and deletes as it goes; the position
    // cache must follow every deletion.
    XmlDocument doc;
    FillHistory(doc, 3000);
    XmlElement root = doc.DocumentElement();
    for (int i = root.ChildCount() - 1; i >= 0; --i) {
        ASSERT_EQ(root.Child(i).Attribute("ID"), std::to_string(i));
        if (i % 3 == 0) root.DeleteChild(i);
    }
    ASSERT_EQ(root.ChildCount(), 2000);
    // forwards, backwards and jumping about
    int expected = 1;
    for (int i = 0; i < root.ChildCount(); ++i, expected += (expected % 3 == 1) ? 1 : 2)
        ASSERT_EQ(root.Child(i).Attribute("ID"), std::to_string(expected)) << i;
    EXPECT_EQ(root.Child(1999).Attribute("ID"), "2999");
    EXPECT_EQ(root.Child(0).Attribute("ID"), "1");
    EXPECT_EQ(root.Child(1000).Attribute("ID"), "1501");
    EXPECT_EQ(root.Child(999).Attribute("ID"), "1499");
    EXPECT_FALSE(root.Child(2000));
}

TEST(XmlDocumentTest, WalksOfTwoLevelsDoNotConfuseEachOther) {
    XmlDocument doc;
    doc.Reset("Korvane");
    XmlElement root = doc.DocumentElement();
    for (int i = 0; i < 50; ++i) {
        XmlElement element = root.AppendChild("ELEMENT");
        for (int j = 0; j <= i % 4; ++j)
            element.AppendChild("ITEM").SetAttribute("N", std::to_string(i * 10 + j));
    }
    for (int i = 0; i < root.ChildCount(); ++i) {
        XmlElement element = root.Child(i);
        ASSERT_EQ(element.ChildCount(), i % 4 + 1);
        for (int j = 0; j < element.ChildCount(); ++j)
            ASSERT_EQ(element.Child(j).Attribute("N"), std::to_string(i * 10 + j));
    }
    // Delete an element whose children were walked last, then grow another one: nothing stale.
    XmlElement walked = root.Child(3);
    ASSERT_EQ(walked.Child(2).Attribute("N"), "32");
    root.DeleteChild(3);
    XmlElement fresh = root.AppendChild("ELEMENT");
    fresh.AppendChild("ITEM").SetAttribute("N", "new");
    EXPECT_EQ(fresh.ChildCount(), 1);
    EXPECT_EQ(fresh.Child(0).Attribute("N"), "new");
    EXPECT_FALSE(fresh.Child(1));
    EXPECT_EQ(root.ChildCount(), 50);
    EXPECT_EQ(root.Child(3).Child(0).Attribute("N"), "40");
}

TEST(XmlDocumentTest, NamesAndTextsOutsideAsciiAndSpecialCharactersSurviveARoundTrip) {
    const std::string value =
        "C:\\Program Files\\Ünïcødé\\файл.exe \"quoted\" <tag> & 'apos'\ttab\r\nline  two";
    XmlDocument doc;
    doc.Reset("Korvane");
    XmlElement element = doc.DocumentElement().AppendChild("Élément");
    element.SetAttribute("Ключ", value);
    element.SetAttribute("KEY", "HKEY_CURRENT_USER\\Software\\日本語");

    MemoryFileSystem files;
    doc.Save(files, "C:\\Backup.xml");
    XmlDocument loaded;
    loaded.Load(files, "C:\\Backup.xml");
    XmlElement back = loaded.DocumentElement().Child(0);
    EXPECT_EQ(back.Name(), "Élément");
    EXPECT_EQ(back.Attribute("Ключ"), value);
    EXPECT_EQ(back.Attribute("KEY"), "HKEY_CURRENT_USER\\Software\\日本語");
}

TEST(XmlDocumentTest, InvalidNamesAreRefused) {
    XmlDocument doc;
    EXPECT_THROW(doc.Reset(""), XmlError);
    doc.Reset("Korvane");
    XmlElement root = doc.DocumentElement();
    EXPECT_THROW(root.AppendChild("two words"), XmlError);
    EXPECT_THROW(root.AppendChild("1st"), XmlError);
    EXPECT_THROW(root.SetAttribute("a<b", "x"), XmlError);
    EXPECT_THROW(root.SetAttribute("", "x"), XmlError);
    EXPECT_THROW(root.AddAttribute("a b", "x"), XmlError);  // the quick way checks names too
    EXPECT_EQ(root.ChildCount(), 0);
    EXPECT_EQ(root.AttributeCount(), 0);
    // An empty handle reads as nothing and refuses changes.
    XmlElement none = root.Child(5);
    EXPECT_EQ(none.Name(), "");
    EXPECT_EQ(none.ChildCount(), 0);
    EXPECT_EQ(none.Attribute("ID"), "");
    EXPECT_THROW(none.AppendChild("ITEM"), XmlError);
    EXPECT_THROW(none.SetAttribute("ID", "1"), XmlError);
    EXPECT_THROW(none.AddAttribute("ID", "1"), XmlError);
}

TEST(XmlDocumentTest, AddedAttributesOfANewElementComeInTheirOrderAndReadBack) {
    XmlDocument doc;
    doc.Reset("Korvane");
    XmlElement item = doc.DocumentElement().AppendChild("ITEM");
    item.AddAttribute("SUBKEY", "HKEY_CURRENT_USER\\Software\\A");
    item.AddAttribute("NAME", "");
    item.AddAttribute("VALUE", "a&b<c>\"d\"");
    EXPECT_EQ(item.AttributeCount(), 3);
    EXPECT_EQ(item.Attribute("VALUE"), "a&b<c>\"d\"");
    XmlDocument loaded;
    loaded.LoadText(doc.SaveText());
    XmlElement back = loaded.DocumentElement().Child(0);
    EXPECT_EQ(back.Attribute("SUBKEY"), "HKEY_CURRENT_USER\\Software\\A");
    EXPECT_TRUE(back.HasAttribute("NAME"));
    EXPECT_EQ(back.Attribute("VALUE"), "a&b<c>\"d\"");
    const std::string text = doc.SaveText();
    EXPECT_LT(text.find("SUBKEY="), text.find("NAME="));
    EXPECT_LT(text.find("NAME="), text.find("VALUE="));
}

TEST(XmlDocumentTest, TextThatIsNotAWellFormedDocumentLeavesTheDocumentAsItWas) {
    XmlDocument doc;
    FillHistory(doc, 2);
    const std::string before = doc.SaveText();
    XmlElement root = doc.DocumentElement();
    for (const char* bad :
         {"", "   ", "<Korvane><ELEMENT ID=\"1\"></Korvane>", "<Korvane", "<a/><b/>", "<a/>trailing text",
          "<?xml version=\"1.0\"?>", "not xml at all", "<a x=\"1\" x=\"2\"/>"}) {
        EXPECT_THROW(doc.LoadText(bad), XmlError) << bad;
        EXPECT_EQ(doc.SaveText(), before) << bad;
    }
    // Handles taken before a failed load still work.
    EXPECT_EQ(root.Child(1).Attribute("ID"), "1");
    try {
        doc.LoadText("<Korvane><ELEMENT ID=\"1\"></Korvane>");
        FAIL();
    } catch (const XmlError& error) {
        std::string message = error.what();
        EXPECT_NE(message.find("mismatch"), std::string::npos) << message;
        EXPECT_NE(message.find("offset"), std::string::npos) << message;
    }
}

TEST(XmlDocumentTest, LoadKeepsElementsOnly) {
    XmlDocument doc;
    doc.LoadText(
        "<?xml version=\"1.0\"?>\n<!-- made by hand -->\n<IgnoreList>\n  text\n  <!-- c -->\n"
        "  <ITEM ROOT=\"HKLM\"/>\n  <?pi x?>\n  <ITEM ROOT=\"HKCU\">inner</ITEM>\n</IgnoreList>\n");
    XmlElement root = doc.DocumentElement();
    EXPECT_EQ(root.Name(), "IgnoreList");
    EXPECT_EQ(ChildNames(root), (std::vector<std::string>{"ITEM", "ITEM"}));
    EXPECT_EQ(root.Child(1).Attribute("ROOT"), "HKCU");
    EXPECT_EQ(root.Child(1).ChildCount(), 0);
}

TEST(XmlDocumentTest, LoadReadsTheEncodingTheFileDeclares) {
    // UTF-8 with a byte-order mark
    XmlDocument doc;
    doc.LoadText("\xEF\xBB\xBF<r a=\"\xC3\xA9\"/>");
    EXPECT_EQ(doc.DocumentElement().Attribute("a"), "é");
    // UTF-16 little endian with a byte-order mark
    std::string utf16 = std::string("\xFF\xFE", 2);
    for (char c : std::string("<r a=\"x\"/>")) utf16 += std::string{c, '\0'};
    doc.LoadText(utf16);
    EXPECT_EQ(doc.DocumentElement().Attribute("a"), "x");
    // ISO-8859-1 and windows-1252, declared
    doc.LoadText("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r a=\"caf\xE9\"/>");
    EXPECT_EQ(doc.DocumentElement().Attribute("a"), "café");
    doc.LoadText("<?xml version=\"1.0\" encoding=\"windows-1252\"?><r a=\"\x80 \xE9\"/>");
    EXPECT_EQ(doc.DocumentElement().Attribute("a"), "€ é");
    // An encoding we cannot read is an error, not garbage; plain ASCII text is still fine.
    EXPECT_THROW(doc.LoadText("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><r a=\"\x82\xA0\"/>"), XmlError);
    EXPECT_EQ(doc.DocumentElement().Attribute("a"), "€ é");
    doc.LoadText("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><r a=\"plain\"/>");
    EXPECT_EQ(doc.DocumentElement().Attribute("a"), "plain");
}

TEST(XmlDocumentTest, SaveReplacesTheFileAndLeavesNoTemporaryBehind) {
    MemoryFileSystem files;
    files.AddFile("C:\\Korvane\\Backup.xml", "old contents");
    XmlDocument doc;
    FillHistory(doc, 3);
    doc.Save(files, "C:\\Korvane\\Backup.xml");
    EXPECT_EQ(files.ContentsRaw("C:\\Korvane\\Backup.xml"), doc.SaveText());
    EXPECT_FALSE(files.ExistsRaw("C:\\Korvane\\Backup.xml.tmp"));

    XmlDocument loaded;
    loaded.Load(files, "C:\\Korvane\\Backup.xml");
    EXPECT_EQ(Ids(loaded.DocumentElement()), (std::vector<std::string>{"0", "1", "2"}));
}

TEST(XmlDocumentTest, AFailedSaveKeepsTheOldFile) {
    MemoryFileSystem files;
    files.AddFile("C:\\Korvane\\Backup.xml", "old contents");
    XmlDocument doc;
    FillHistory(doc, 1);

    // The folder cannot be written: the temporary file cannot even be made.
    files.FailWrite("C:\\Korvane");
    EXPECT_THROW(doc.Save(files, "C:\\Korvane\\Backup.xml"), XmlError);
    EXPECT_EQ(files.ContentsRaw("C:\\Korvane\\Backup.xml"), "old contents");
    files.ClearFailures();

    // The temporary file is written but the target cannot be replaced: the temporary goes away.
    files.FailWrite("C:\\Korvane\\Backup.xml");
    EXPECT_THROW(doc.Save(files, "C:\\Korvane\\Backup.xml"), XmlError);
    EXPECT_EQ(files.ContentsRaw("C:\\Korvane\\Backup.xml"), "old contents");
    EXPECT_FALSE(files.ExistsRaw("C:\\Korvane\\Backup.xml.tmp"));
    files.ClearFailures();

    // A document without its element is never written over a file.
    XmlDocument empty;
    EXPECT_THROW(empty.Save(files, "C:\\Korvane\\Backup.xml"), XmlError);
    EXPECT_EQ(files.ContentsRaw("C:\\Korvane\\Backup.xml"), "old contents");
}

TEST(XmlDocumentTest, LoadOfAMissingOrBrokenFileThrowsAndKeepsTheDocument) {
    MemoryFileSystem files;
    XmlDocument doc;
    FillHistory(doc, 1);
    EXPECT_THROW(doc.Load(files, "C:\\nowhere\\ignore.xml"), XmlError);
    files.AddFile("C:\\ignore.xml", "<IgnoreList><ITEM></IgnoreList>");
    EXPECT_THROW(doc.Load(files, "C:\\ignore.xml"), XmlError);
    EXPECT_EQ(Ids(doc.DocumentElement()), std::vector<std::string>{"0"});
}

}  // namespace
}  // namespace korvane
