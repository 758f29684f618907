// layerview, layerfilter, xreflist, xreffreeze and viewportfreeze on the demo drawing.
#include <algorithm>

#include "ads/adslib.h"
#include "db/viewports.h"
#include "demo_fixture.h"

namespace zan::test {
namespace {

class LayerCommands : public DemoDrawing {
protected:
    // A line on layer "0" in block INNER, INNER on layer "0" in block OUTER,
    // and OUTER inserted on `layer` at (200, 50), scaled 2 and turned 90
    // degrees: the line runs from (198, 52) to (198, 56) in the drawing.
    void makeNestedReference(const char* layer) {
        ads_point origin = {0, 0, 0};
        ads_point lineEnd = {2, 0, 0};
        ads_point innerAt = {1, 1, 0};
        ads_point outerAt = {200, 50, 0};
        auto make = [](resbuf* list) {
            int status = ads_entmake(list);
            ads_relrb(list);
            return status;
        };
        ASSERT_EQ(make(ads_buildlist(RTDXF0, "BLOCK", 2, "INNER", 70, 0, 10, origin, 0)), RTNORM);
        ASSERT_EQ(make(ads_buildlist(RTDXF0, "LINE", 8, "0", 10, origin, 11, lineEnd, 0)), RTNORM);
        ASSERT_EQ(make(ads_buildlist(RTDXF0, "ENDBLK", 0)), RTKWORD);
        ASSERT_EQ(make(ads_buildlist(RTDXF0, "BLOCK", 2, "OUTER", 70, 0, 10, origin, 0)), RTNORM);
        ASSERT_EQ(make(ads_buildlist(RTDXF0, "INSERT", 8, "0", 2, "INNER", 10, innerAt, 0)), RTNORM);
        ASSERT_EQ(make(ads_buildlist(RTDXF0, "ENDBLK", 0)), RTKWORD);
        ASSERT_EQ(make(ads_buildlist(RTDXF0, "INSERT", 8, layer, 2, "OUTER", 10, outerAt, 41, 2.0, 42, 2.0, 43,
                                     2.0, 50, 90.0, 0)),
                  RTNORM);
    }
};

TEST_F(LayerCommands, LayerviewCountsTheCurrentLayerInBothSpacesAndWaits) {
    std::size_t inModel = entitiesOn("1-WALL").size();
    h.run("-LAYER\nS\n1-WALL\n\nTILEMODE\n0\nLINE\n10,10\n50,50\n\nTILEMODE\n1\n");
    h.clearTranscript();
    h.run("layerview\n\n");
    EXPECT_TRUE(shows("Current Layer is  1-WALL\n"));
    EXPECT_TRUE(shows(std::to_string(inModel + 1) + " Entities found on layer 1-WALL\n")) << h.transcript();
    EXPECT_TRUE(shows("Hit return to continue."));

    h.run("-LAYER\nM\nEMPTY\n\n");
    h.clearTranscript();
    h.run("layerview\n");
    EXPECT_TRUE(shows("No entities found on EMPTY layer.  Nothing to show.\n"));
    EXPECT_FALSE(shows("Hit return"));
}

TEST_F(LayerCommands, LayerfilterInsideEraseErasesOnlyTheCurrentLayersEntities) {
    std::size_t walls = entitiesOn("1-WALL").size();
    ASSERT_GT(walls, 3u);
    std::size_t others = entitiesOn("2-WALL").size() + entitiesOn("1-DOOR").size();
    h.run("-LAYER\nS\n1-WALL\n\nERASE\n'layerfilter\nALL\n\n\n");
    EXPECT_TRUE(shows("Filtering for current layer..."));
    EXPECT_TRUE(shows(std::to_string(walls) + " Entities Found.\n"));
    EXPECT_TRUE(shows("Exiting Filter."));
    EXPECT_TRUE(entitiesOn("1-WALL").empty());
    EXPECT_EQ(entitiesOn("2-WALL").size() + entitiesOn("1-DOOR").size(), others);
}

TEST_F(LayerCommands, XreflistListsTheEntityAndEveryContainerInnermostFirst) {
    makeNestedReference("1-DOOR");
    h.run("xreflist\n198,54\n");
    EXPECT_TRUE(shows("ENTITY -> LINE \nLAYER -> 0 \nLINETYPE -> BYLAYER\nCOLOR -> BYLAYER\n"))
        << h.transcript();
    EXPECT_TRUE(shows("The previous entity is contained in:\nENTITY -> INSERT \nLAYER -> 0 \n"
                      "LINETYPE -> BYLAYER\nCOLOR -> BYLAYER.\n"
                      "The previous entity is contained in:\nENTITY -> INSERT \nLAYER -> 1-DOOR \n"));
    EXPECT_EQ(h.count("The previous entity is contained in:"), 2u);

    h.clearTranscript();
    h.run("xreflist\n14.9,5\n");  // the spine wall of level 1, not in a block
    EXPECT_TRUE(shows("Entity must be in a block or xref.\n"));
}

TEST_F(LayerCommands, XreffreezeOfALayerZeroEntityFreezesTheFirstContainerOffLayerZero) {
    makeNestedReference("1-DOOR");
    h.run("xreffreeze\n198,54\n");
    EXPECT_TRUE(shows("Layer Frozen is 1-DOOR\n"));
    EXPECT_TRUE(frozen("1-DOOR"));
    EXPECT_FALSE(frozen("1-WALL"));

    h.clearTranscript();
    h.run("xreffreeze\n14.9,5\n");  // a plain entity: its own layer
    EXPECT_TRUE(shows("Layer Frozen is 1-WALL\n"));
    EXPECT_TRUE(frozen("1-WALL"));
}

TEST_F(LayerCommands, XreffreezeWithEveryContainerOnLayerZeroFreezesNothing) {
    makeNestedReference("0");
    h.run("xreffreeze\n198,54\n");
    EXPECT_TRUE(shows("All entities and sub-entities appear to be on layer 0\n"));
    EXPECT_FALSE(shows("Layer Frozen is"));
}

TEST_F(LayerCommands, ViewportfreezeFreezesOnlyInTheCurrentViewport) {
    // The viewport numbers that freeze a layer.
    auto freezing = [this](const std::string& layer) {
        std::vector<long long> out;
        for (host::RecordId id : host::paperViewports(h.db())) {
            std::vector<std::string> layers = host::viewportFrozenLayers(record(id));
            if (std::find(layers.begin(), layers.end(), layer) != layers.end()) out.push_back(record(id).integer(69, 0));
        }
        return out;
    };
    h.run("TILEMODE\n0\nMSPACE\n");
    long long current = h.db().variables().integer("CVPORT");
    std::vector<long long> before = freezing("1-WALL");
    ASSERT_EQ(std::count(before.begin(), before.end(), current), 0);
    h.run("viewportfreeze\n14.9,5\n");
    EXPECT_TRUE(shows("Layer Frozen is 1-WALL\n"));
    EXPECT_FALSE(frozen("1-WALL"));
    before.push_back(current);
    std::vector<long long> after = freezing("1-WALL");
    std::sort(before.begin(), before.end());
    std::sort(after.begin(), after.end());
    EXPECT_EQ(after, before);
}

}  // namespace
}  // namespace zan::test
