// Symbols inserted in whole sessions of the built module on the demo
// drawing: the level bar picks level 2, the demo symbol bar inserts its
// blocks with the options of its strip, and the drawing shows the result.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "ads/adslib.h"
#include "support/demo_kit.h"

namespace zan::test {
namespace {

struct Reference {
    std::string type, block, layer;
    double x = 0, y = 0, xScale = 1, yScale = 1, zScale = 1, rotation = 0;
};

class SymbolInsertSession : public DemoKitTest {
protected:
    SymbolInsertSession() : DemoKitTest("symbol-insert") {}
    static std::string messageBox(const std::string& text) {
        return "[message box] \"TUV Windows Application\" \"" + text + "\"";
    }

    // Level 2 current, the demo bar open as tool window 2, and the strip's
    // options (1-based) switched on.
    static std::string openBar(std::initializer_list<int> options) {
        std::string script = "levelbar\n@tool 1 click 2\nsymbolbar\n@file samples/demo/symbols.Zsb\n";
        for (int option : options) script += "@tool 2 click strip " + std::to_string(option) + "\n";
        return script;
    }

    static std::string clayer() {
        resbuf value{};
        ads_getvar("CLAYER", &value);
        std::string name = value.resval.rstring;
        acad_free(value.resval.rstring);
        return name;
    }
    static std::string text(const resbuf* list, int code) {
        for (; list; list = list->rbnext)
            if (list->restype == code) return list->resval.rstring;
        return "";
    }
    static bool exists(const char* table, const char* name) {
        resbuf* record = ads_tblsearch(table, name, 0);
        ads_relrb(record);
        return record != nullptr;
    }
    static double real(const resbuf* list, int code, double fallback) {
        for (; list; list = list->rbnext)
            if (list->restype == code) return list->resval.rreal;
        return fallback;
    }
    static Reference last() {
        Reference r;
        ads_name e;
        if (ads_entlast(e) != RTNORM) return r;
        resbuf* data = ads_entget(e);
        r.type = text(data, 0);
        r.block = text(data, 2);
        r.layer = text(data, 8);
        for (const resbuf* i = data; i; i = i->rbnext)
            if (i->restype == 10) {
                r.x = i->resval.rpoint[0];
                r.y = i->resval.rpoint[1];
            }
        r.xScale = real(data, 41, 1);
        r.yScale = real(data, 42, 1);
        r.zScale = real(data, 43, 1);
        r.rotation = real(data, 50, 0);
        ads_relrb(data);
        return r;
    }
    // Layers of the entities of a block definition, in order.
    static std::vector<std::string> blockLayers(const std::string& name) {
        std::vector<std::string> out;
        resbuf* block = ads_tblsearch("BLOCK", name.c_str(), 0);
        if (!block) return out;
        ads_name e{0, 0};
        for (const resbuf* i = block; i; i = i->rbnext)
            if (i->restype == -2) ads_name_set(i->resval.rlname, e);
        ads_relrb(block);
        for (bool more = !ads_name_nil(e); more; more = ads_entnext(e, e) == RTNORM) {
            resbuf* data = ads_entget(e);
            out.push_back(text(data, 8));
            ads_relrb(data);
        }
        return out;
    }
    static long count(const std::string& type) {
        long n = 0;
        ads_name e{0, 0};
        for (bool more = ads_entnext(nullptr, e) == RTNORM; more; more = ads_entnext(e, e) == RTNORM) {
            resbuf* data = ads_entget(e);
            if (text(data, 0) == type) ++n;
            ads_relrb(data);
        }
        return n;
    }

};

TEST_F(SymbolInsertSession, AutomaticLayeringPlacesTheDoorOnTheLevelLayerAndRestoresTheCurrentLayer) {
    const std::string before = clayer();
    run(openBar({1}) + "@tool 2 click 1\n\n40,30\n\n\n\n");
    EXPECT_TRUE(shows("[trace] text: \"(ZAN_Symbol_Insert) \""));
    EXPECT_TRUE(shows("[trace] command: \"Insert\" \"door\" \"\\\\\" \"\\\\\" \"\\\\\" \"\\\\\""));
    Reference r = last();
    EXPECT_EQ(r.type, "INSERT");
    EXPECT_EQ(r.block, "door");
    EXPECT_EQ(r.layer, "2-DOOR");
    EXPECT_DOUBLE_EQ(r.x, 40);
    EXPECT_DOUBLE_EQ(r.y, 30);
    EXPECT_EQ(clayer(), before);

    // What the session saved, read by an independent reader.
    ASSERT_TRUE(h.session().saveDrawing(dir + "/out.dxf"));
    const std::string check = std::string(ZAN_PYTHON) + " -c \"import ezdxf,sys; d=ezdxf.readfile('" + dir +
                              "/out.dxf'); sys.exit(0 if any(e.dxf.name=='door' and e.dxf.layer=='2-DOOR' and"
                              " abs(e.dxf.insert.x-40)<1e-9 and abs(e.dxf.insert.y-30)<1e-9"
                              " for e in d.modelspace().query('INSERT')) else 1)\"";
    EXPECT_EQ(std::system(check.c_str()), 0);
}

TEST_F(SymbolInsertSession, PresetScaleAndRotationAreTheReferencesOwn) {
    run(openBar({1, 3, 4}) + "@tool 2 release strip 3 right\n@edit 1016 2\n@edit 1017 2\n@edit 1018 2\n@ok\n"
        "@tool 2 release strip 4 right\n@edit 1018 90\n@ok\n@tool 2 click 2\n\n10,20\n");
    EXPECT_TRUE(shows("[trace] command: \"Insert\" \"window\" \"r\" 90 \"x\" 2 \"y\" 2 \"z\" 2 \"\\\\\""));
    Reference r = last();
    EXPECT_EQ(r.block, "window");
    EXPECT_EQ(r.layer, "2-WIND");
    EXPECT_DOUBLE_EQ(r.xScale, 2);
    EXPECT_DOUBLE_EQ(r.zScale, 2);
    EXPECT_DOUBLE_EQ(r.rotation, 90);
}

TEST_F(SymbolInsertSession, ExplodeLeavesTheDoorsEntitiesOnTheLevelLayer) {
    const long inserts = count("INSERT");
    // The host's EXPLODE asks for more objects after the one it was given:
    // the empty line ends its selection.
    run(openBar({1, 2}) + "@tool 2 click 1\n\n40,30\n\n\n\n\n");
    EXPECT_TRUE(shows("[trace] command: \"_.explode\""));
    EXPECT_EQ(count("INSERT"), inserts);
    Reference r = last();
    EXPECT_EQ(r.type, "ARC");
    // The door's entities lie on layer "0" in the block; exploded they keep it.
    EXPECT_EQ(r.layer, "0");
}

TEST_F(SymbolInsertSession, AnInsertionCancelledAtItsPromptExplodesNothingElse) {
    // The last entity is then the door placed before, which must stay a reference.
    run(openBar({1}) + "@tool 2 click 1\n\n40,30\n\n\n\n@tool 2 click strip 2\n@tool 2 click 1\n\n^C\n");
    EXPECT_FALSE(shows("_.explode"));
    EXPECT_EQ(last().type, "INSERT");
    EXPECT_EQ(last().block, "door");
}

TEST_F(SymbolInsertSession, SearchSubEntitiesMakesALevelCopyOnceAndReusesIt) {
    run(openBar({1}) + "@tool 2 click 3\n\n1,1\n\n\n\n@tool 2 click 3\n\n5,5\n\n\n\n");
    EXPECT_EQ(blockLayers("2-table"), (std::vector<std::string>{"2-FURN", "2-TEXT"}));
    EXPECT_EQ(blockLayers("table"), (std::vector<std::string>{"FURN", "TEXT"}));
    EXPECT_EQ(last().block, "2-table");
    EXPECT_EQ(last().layer, "2-FURN");
    EXPECT_EQ(h.count("\"Insert\" \"2-table\""), 2u);
    // The copy is made once: its layers are looked at on the first insertion only.
    EXPECT_EQ(h.count("\"Layer\" \"new\""), 0u);  // 2-FURN and 2-TEXT exist in the demo drawing

    // A block whose entities are all on layer "0" is inserted as itself.
    h.clearTranscript();
    run("@tool 2 sysmenu 307\n@edit 1014 \"\"\n@ok\n@tool 2 click 1 right\n@check 1029 on\n@click 1030\n@tool 2 click 1\n\n2,2\n\n\n\n");
    EXPECT_EQ(last().block, "door");
    EXPECT_FALSE(exists("BLOCK", "2-door"));
}

TEST_F(SymbolInsertSession, RefusalsAreReportedWithTheirMessages) {
    // A frozen level layer: the message, then the insertion on the current layer.
    run("LAYER F 2-DOOR \n" + openBar({1}) + "@tool 2 click 1\n\n@ok\n40,30\n\n\n\n");
    EXPECT_TRUE(shows(messageBox("Layer  2-DOOR  is frozen or locked.\\n")));
    EXPECT_EQ(last().layer, "0");

    // A missing level layer.
    run("@tool 1 click 4\n@tool 2 click 2\n\n@ok\n1,1\n\n\n\n");
    EXPECT_TRUE(shows(messageBox("Layer  S-WIND  does not exist in this drawing.\\n") ) ||
                shows("[trace] command: \"Insert\" \"window\""));

}

TEST_F(SymbolInsertSession, AMissingBlockIsLoadedFromTheBlockDirectoryOrReported) {
    // The drawing lacks "lift": it is defined from its file, then inserted.
    std::filesystem::copy_file("samples/demo/blocks/door.dwg", "samples/demo/blocks/lift.dwg");
    run(openBar({}) + "@tool 2 click 4 right\n@edit 1002 lift\n@click 1030\n@tool 2 click 4\n\n7,7\n\n\n\n");
    // The bar's block folder is relative to the drawing's folder.
    const std::string blocks = std::filesystem::current_path().string() + "/samples/demo/blocks/";
    EXPECT_TRUE(shows("[trace] command: \"insert\" \"" + blocks + "lift.dwg\"\n[trace] command:\n"));
    EXPECT_EQ(last().block, "lift");
    EXPECT_EQ(h.count("[trace] command: \"Insert\" \"lift\""), 1u);

    // No file: the message, and nothing is inserted.
    const long inserts = count("INSERT");
    h.clearTranscript();
    run("@tool 2 click 4 right\n@edit 1002 missing\n@click 1030\n@tool 2 click 4\n\n@ok\n");
    EXPECT_TRUE(shows(messageBox("File " + blocks + "missing.dwg \\ncould not be inserted.\\nCheck the path settings for the symbol bar.")));
    EXPECT_FALSE(shows("[trace] command: \"Insert\""));
    EXPECT_EQ(count("INSERT"), inserts);
}

TEST_F(SymbolInsertSession, ExplodeRefusesNonUniformScaleAndAttributes) {
    run(openBar({2, 3}) + "@tool 2 release strip 3 right\n@edit 1016 1\n@edit 1017 1.0001\n@edit 1018 1\n@ok\n"
        "@tool 2 click 1\n\n40,30\n\n");
    EXPECT_TRUE(shows("Cannot explode non-uniformly scaled blocks."));
    EXPECT_EQ(last().type, "INSERT");

    EXPECT_FALSE(shows("_.explode"));

    // Within the tolerance counts as uniform: the module explodes (the host
    // itself then refuses to scale the door's arc unevenly).
    run("@tool 2 release strip 3 right\n@edit 1017 1.00004\n@ok\n@tool 2 click 1\n\n50,30\n\n\n");
    EXPECT_EQ(h.count("[trace] command: \"_.explode\""), 1u);

    // A block with an attribute definition.
    std::ofstream("samples/demo/blocks/tag.dwg")
        << "0\nSECTION\n2\nENTITIES\n0\nLINE\n8\n0\n10\n0\n20\n0\n30\n0\n11\n1\n21\n0\n31\n0\n"
           "0\nATTDEF\n8\n0\n10\n0\n20\n0\n30\n0\n40\n1\n1\nT1\n3\nTag\n2\nTAG\n70\n0\n0\nENDSEC\n0\nEOF\n";
    h.clearTranscript();
    run("@tool 2 click 4 right\n@edit 1002 tag\n@click 1030\n@tool 2 click 4\n\n60,30\n\nX\n");
    EXPECT_TRUE(shows("Cannot explode blocks w/ Attributes."));
    EXPECT_FALSE(shows("_.explode"));
    EXPECT_TRUE(shows("[trace] command: \"Insert\" \"tag\""));
}

TEST_F(SymbolInsertSession, LayerRootsWithoutALevelOrWithoutANameAndTooLongNames) {
    // No level selected: the root name is the layer itself.
    run("LAYER N DOOR \nsymbolbar\n@file samples/demo/symbols.Zsb\n@tool 1 click strip 1\n@tool 1 click 1\n\n3,3\n\n\n\n");
    EXPECT_EQ(last().layer, "DOOR");

    // Neither the symbol nor the bar names a layer: the current layer, no message.
    h.clearTranscript();
    const std::string current = clayer();
    run("@tool 1 sysmenu 307\n@edit 1014 \"\"\n@ok\n@tool 1 click 4\n\n4,4\n\n\n\n");
    EXPECT_EQ(last().block, "arrow");
    EXPECT_EQ(last().layer, current);
    EXPECT_FALSE(shows("[message box]"));

    // A composed name longer than the module's layer names is refused with a message.
    h.clearTranscript();
    run("@tool 1 click 4 right\n@edit 1027 " + std::string(127, 'L') + "\n@click 1030\nlevelbar\n@tool 2 click 2\n"
        "@tool 1 click 4\n\n@ok\n5,5\n\n\n\n");
    EXPECT_TRUE(shows("is longer than 127 characters."));
    EXPECT_EQ(last().layer, current);
}

TEST_F(SymbolInsertSession, ABlockNameHoldingTheSeparatorIsCopiedUnderItsWholeName) {
    std::filesystem::copy_file("samples/demo/blocks/table.dwg", "samples/demo/blocks/A-table.dwg");
    run(openBar({1}) + "@tool 2 click 3 right\n@edit 1002 A-table\n@click 1030\n@tool 2 click 3\n\n8,8\n\n\n\n");
    EXPECT_EQ(last().block, "2-A-table");
    EXPECT_EQ(blockLayers("2-A-table"), (std::vector<std::string>{"2-FURN", "2-TEXT"}));
    EXPECT_FALSE(exists("BLOCK", "2-table"));  // the copy of "table" is not confused with it
}

TEST_F(SymbolInsertSession, TheLevelCopyMakesMissingLevelLayersLikeTheBlocksLayers) {
    std::ofstream("samples/demo/blocks/rail.dwg")
        << "0\nSECTION\n2\nENTITIES\n0\nLINE\n8\nRAIL\n10\n0\n20\n0\n30\n0\n11\n1\n21\n0\n31\n0\n0\nENDSEC\n0\nEOF\n";
    run("LAYER N RAIL C 3 RAIL \n" + openBar({1}) + "@tool 2 click 3 right\n@edit 1002 rail\n@edit 1027 \"\"\n@click 1030\n@tool 2 sysmenu 307\n"
        "@edit 1014 \"\"\n@ok\n@tool 2 click 3\n\n9,9\n\n\n\n");
    EXPECT_TRUE(shows("[trace] command: \"Layer\" \"new\" \"2-RAIL\""));
    EXPECT_EQ(blockLayers("2-rail"), (std::vector<std::string>{"2-RAIL"}));
    EXPECT_EQ(last().block, "2-rail");
    resbuf* layer = ads_tblsearch("LAYER", "2-RAIL", 0);
    ASSERT_NE(layer, nullptr);
    for (const resbuf* i = layer; i; i = i->rbnext)
        if (i->restype == 62) {
            EXPECT_EQ(i->resval.rint, 3);
        }
    ads_relrb(layer);
}

TEST_F(SymbolInsertSession, TheFunctionTypedWithNothingPendingDoesNothing) {
    const long inserts = count("INSERT");
    run("(ZAN_Symbol_Insert)\n");
    EXPECT_EQ(count("INSERT"), inserts);
    EXPECT_FALSE(shows("[trace] command: \"Insert\""));

    // A bar closed after its click leaves nothing pending behind.
    run(openBar({}) + "@tool 2 click 1\n@tool 2 close\n\n(ZAN_Symbol_Insert)\n");
    EXPECT_FALSE(shows("[trace] command: \"Insert\""));
}

}  // namespace
}  // namespace zan::test
