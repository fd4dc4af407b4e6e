// X-file hierarchies from files the tests write: the frame tree and its order, matrices, the container
// chain and which frame holds which mesh, references, partial loads, bones linked to frames, the
// attached front end, skinning in the mesh's own layout, the parser base and the data-object utilities.
#include "harness.h"
#include "platform/platform.h"
#include "scene/scene.h"
#include "xfile_text.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

const char kTextures[] = "..\\Data\\";

std::string UnitBox(const char* name, float x) {
    return xfile::Box(name, {x, 0, 0}, {x + 1, 1, 1});
}

D3DXMATRIX Translation(float x, float y, float z) {
    D3DXMATRIX m;
    D3DXMatrixTranslation(&m, x, y, z);
    return m;
}

D3DXMATRIX Identity() {
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    return m;
}

// A vector's figures, which a failed comparison prints (a D3DX vector prints as its address).
std::vector<float> Figures(const D3DXVECTOR3& v) {
    return {v.x, v.y, v.z};
}

std::vector<float> Figures(const D3DXVECTOR2& v) {
    return {v.x, v.y};
}

const char* NameOf(const D3DXFRAME* frame) {
    return frame && frame->Name ? frame->Name : "(none)";
}

const char* NameOf(const D3DXMESHCONTAINER* container) {
    return container && container->Name ? container->Name : "(none)";
}

CMeshContainer* Next(CMeshContainer* c) {
    return static_cast<CMeshContainer*>(c->pNextMeshContainer);
}

class HierarchyTest : public DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        // Tests run side by side in one folder: each writes a file of its own.
        file = std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".x";
    }
    void TearDown() override {
        delete root;
        delete chain;
        RemovePath(file.c_str());
        DeviceTest::TearDown();
    }
    HRESULT Load(const std::string& text, bool wantMeshes = true, bool wantFrames = true) {
        WriteFileBytes(file.c_str(), text);
        return LoadHierarchyFromX(wantMeshes ? &chain : nullptr, wantFrames ? &root : nullptr, g_pd3dDevice,
                                  file.c_str(), kTextures, 0, D3DXMESH_SYSTEMMEM);
    }
    int ChainLength() const {
        int n = 0;
        for (CMeshContainer* c = chain; c; c = Next(c)) {
            ++n;
        }
        return n;
    }

    std::string file;
    CHierarchyFrame* root = nullptr;
    CMeshContainer* chain = nullptr;
};

TEST_F(HierarchyTest, EachLevelStandsInTheReverseOfFileOrder) {
    const std::string text =
        xfile::Header() + xfile::Frame("A", "") +
        xfile::Frame("B", xfile::Frame("C", "") + xfile::Frame("D", xfile::Frame("E", "")));
    ASSERT_EQ(Load(text), S_OK);
    ASSERT_NE(root, nullptr);
    EXPECT_STREQ(NameOf(root), "B");
    EXPECT_STREQ(NameOf(root->pFrameSibling), "A");
    EXPECT_EQ(root->pFrameSibling->pFrameSibling, nullptr);
    EXPECT_STREQ(NameOf(root->pFrameFirstChild), "D");
    EXPECT_STREQ(NameOf(root->pFrameFirstChild->pFrameSibling), "C");
    EXPECT_STREQ(NameOf(root->pFrameFirstChild->pFrameFirstChild), "E");
    EXPECT_EQ(root->pFrameSibling->pFrameFirstChild, nullptr);
    EXPECT_EQ(chain, nullptr);
}

TEST_F(HierarchyTest, TheFileMatrixGoesToTheFrameAndItsInitialCopy) {
    const D3DXMATRIX m = Translation(1, 2, 3);
    ASSERT_EQ(Load(xfile::Header() + xfile::Frame("F", xfile::FrameMatrix(m))), S_OK);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(static_cast<D3DXMATRIX>(root->TransformationMatrix), m);
    EXPECT_EQ(root->matInitial, m);
    EXPECT_EQ(root->matCombined, Identity());
}

TEST_F(HierarchyTest, MeshesJoinTheChainLatestFirstAndHangOnTheirFrame) {
    const std::string text = xfile::Header() + UnitBox("Loose", 0) +
                             xfile::Frame("F", UnitBox("First", 2) + UnitBox("Second", 4)) +
                             xfile::Frame("G", xfile::Frame("H", UnitBox("Deep", 6)));
    ASSERT_EQ(Load(text), S_OK);
    ASSERT_EQ(ChainLength(), 4);
    EXPECT_STREQ(NameOf(chain), "Deep");
    EXPECT_STREQ(NameOf(Next(chain)), "Second");
    EXPECT_STREQ(NameOf(Next(Next(chain))), "First");
    EXPECT_STREQ(NameOf(Next(Next(Next(chain)))), "Loose");
    CHierarchyFrame* f = root->Find("F");
    ASSERT_NE(f, nullptr);
    EXPECT_STREQ(NameOf(f->pMeshContainer), "Second") << "the later mesh replaces the earlier";
    EXPECT_STREQ(NameOf(root->Find("H")->pMeshContainer), "Deep");
    EXPECT_EQ(root->Find("G")->pMeshContainer, nullptr);
    EXPECT_EQ(Next(chain)->pSkinInfo, nullptr) << "no bones, no skin";
}

TEST_F(HierarchyTest, AMeshReferenceHangsTheLatestContainerOfThatName) {
    const std::string text = xfile::Header() + UnitBox("M", 0) + UnitBox("Other", 2) + UnitBox("M", 4) +
                             xfile::Frame("F", xfile::Reference("M")) +
                             xfile::Frame("G", xfile::Reference("Other"));
    ASSERT_EQ(Load(text), S_OK);
    EXPECT_EQ(ChainLength(), 3) << "a reference builds no container";
    EXPECT_EQ(root->Find("F")->pMeshContainer, chain) << "the chain's head is the last M loaded";
    EXPECT_STREQ(NameOf(root->Find("G")->pMeshContainer), "Other");
}

TEST_F(HierarchyTest, EverythingUnderAReferencedFrameIsAReference) {
    const std::string text = xfile::Header() +
                             xfile::Frame("R", xfile::FrameMatrix(Translation(5, 0, 0)) + UnitBox("InR", 0)) +
                             xfile::Frame("F", xfile::Reference("R"));
    ASSERT_EQ(Load(text), S_OK);
    EXPECT_EQ(ChainLength(), 1);
    CHierarchyFrame* f = root->Find("F");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->pFrameFirstChild, nullptr) << "no frame is built for the referenced R";
    EXPECT_EQ(static_cast<D3DXMATRIX>(f->TransformationMatrix), Identity()) << "nor is its matrix read";
    EXPECT_STREQ(NameOf(f->pMeshContainer), "InR") << "its mesh is looked up and hung on F";
}

TEST_F(HierarchyTest, WithoutFramesMeshesStillLoad) {
    const std::string text = xfile::Header() + xfile::Frame("F", xfile::FrameMatrix(Translation(1, 0, 0)) +
                                                                     UnitBox("M", 0) + xfile::Reference("M"));
    ASSERT_EQ(Load(text, true, false), S_OK);
    EXPECT_EQ(root, nullptr);
    EXPECT_EQ(ChainLength(), 1);
}

TEST_F(HierarchyTest, WithoutMeshesFramesAndMatricesStillLoad) {
    const D3DXMATRIX m = Translation(0, 7, 0);
    ASSERT_EQ(Load(xfile::Header() + xfile::Frame("F", xfile::FrameMatrix(m) + UnitBox("M", 0)), false, true),
              S_OK);
    EXPECT_EQ(chain, nullptr);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->pMeshContainer, nullptr);
    EXPECT_EQ(static_cast<D3DXMATRIX>(root->TransformationMatrix), m);
}

TEST_F(HierarchyTest, FindSearchesTheSiblingsBeforeTheChildren) {
    // Root B (file order A, B): B's child X, then A and A's child X. B's siblings come before its
    // children, so the X under A is found first.
    const std::string text = xfile::Header() +
                             xfile::Frame("A", xfile::Frame("X", xfile::Frame("UnderA", ""))) +
                             xfile::Frame("B", xfile::Frame("X", ""));
    ASSERT_EQ(Load(text), S_OK);
    CHierarchyFrame* found = root->Find("X");
    ASSERT_NE(found, nullptr);
    EXPECT_STREQ(NameOf(found->pFrameFirstChild), "UnderA");
    EXPECT_EQ(root->Find(nullptr), nullptr);
    EXPECT_EQ(root->Find("x"), nullptr) << "case counts";
    EXPECT_EQ(root->Find("B"), root);
}

TEST_F(HierarchyTest, BadArgumentsFailButAnUnreadableFileGivesEmptyOutputs) {
    CMeshContainer* c = reinterpret_cast<CMeshContainer*>(1);
    CHierarchyFrame* r = reinterpret_cast<CHierarchyFrame*>(1);
    EXPECT_EQ(LoadHierarchyFromX(&c, &r, nullptr, "x.x", "", 0, 0), E_FAIL);
    EXPECT_EQ(LoadHierarchyFromX(&c, &r, g_pd3dDevice, nullptr, "", 0, 0), E_FAIL);
    EXPECT_EQ(LoadHierarchyFromX(&c, &r, g_pd3dDevice, "x.x", nullptr, 0, 0), E_FAIL);
    EXPECT_EQ(c, reinterpret_cast<CMeshContainer*>(1)) << "nothing written";
    EXPECT_EQ(LoadHierarchyFromX(&chain, &root, g_pd3dDevice, "no such file.x", "", 0, 0), S_OK);
    EXPECT_EQ(chain, nullptr);
    EXPECT_EQ(root, nullptr);
}

// The load succeeds whatever the file holds; the platform's reader gives nothing of a file it cannot
// parse, and a mesh that fails to load leaves its frame without a container.
TEST_F(HierarchyTest, TruncatedMalformedOrShortDataLoadsWithoutHarm) {
    const std::string whole =
        xfile::Header() + xfile::Frame("F", xfile::FrameMatrix(Translation(1, 1, 1)) + UnitBox("M", 0));
    const struct {
        std::string text;
        const char* root;
    } cases[] = {
        {whole.substr(0, whole.size() / 2), nullptr},
        {whole.substr(0, whole.size() - 4), nullptr},
        {xfile::Header() +
             "Frame F { Mesh M { 3; 0.0;0.0;0.0;, 1.0;0.0;0.0;, 0.0;1.0;0.0;; 1; 3;0,1,9;; } }\n",
         "F"},
        {"xof 0303txt 0032\n{{{{", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        ASSERT_EQ(Load(c.text), S_OK);
        if (c.root) {
            ASSERT_NE(root, nullptr);
            EXPECT_STREQ(NameOf(root), c.root);
            EXPECT_EQ(root->pFrameFirstChild, nullptr);
            EXPECT_EQ(root->pMeshContainer, nullptr);
        } else {
            EXPECT_EQ(root, nullptr);
        }
        EXPECT_EQ(chain, nullptr);
        delete root;
        delete chain;
        root = nullptr;
        chain = nullptr;
    }
    // A template of our own under the frame matrix's GUID with a single float: its object is shorter
    // than a matrix and is not read, so the frame keeps the identity.
    const std::string shortMatrix =
        xfile::Header() + "template ShortMatrix { <F6F23F41-7686-11CF-8F52-0040333594A3> FLOAT a; }\n" +
        "Frame F { ShortMatrix { 9.0; } }\n";
    ASSERT_EQ(Load(shortMatrix), S_OK);
    ASSERT_NE(root, nullptr);
    EXPECT_STREQ(NameOf(root), "F");
    EXPECT_EQ(static_cast<D3DXMATRIX>(root->TransformationMatrix), Identity());
}

// A skinned mesh with bones named after frames: Bone0 moves vertex 0 and half of vertex 1, Bone1 the
// other half of vertex 1 and all of vertex 2 after its offset (-1, 0, 0); Ghost has no frame.
std::string SkinnedFile() {
    const std::vector<D3DXVECTOR3> triangle = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    const std::string skin = xfile::SkinHeader(2, 2, 3) +
                             xfile::SkinWeights("Bone0", {0, 1}, {1.0f, 0.5f}, Identity()) +
                             xfile::SkinWeights("Bone1", {1, 2}, {0.5f, 1.0f}, Translation(-1, 0, 0)) +
                             xfile::SkinWeights("Ghost", {2}, {0.0f}, Identity());
    return xfile::Header() + xfile::SkinTemplates() +
           xfile::Frame("Body", xfile::Frame("Bone0", xfile::Frame("Bone1", "")) +
                                    xfile::Mesh("Skin", triangle, {{0, 1, 2}}, skin));
}

TEST_F(HierarchyTest, SkinnedBonesPointAtTheCombinedMatricesOfTheirFrames) {
    ASSERT_EQ(Load(SkinnedFile()), S_OK);
    ASSERT_NE(chain, nullptr);
    ASSERT_NE(chain->pSkinInfo, nullptr) << "the skin was not loaded";
    ASSERT_NE(chain->pSkinnedMesh, nullptr);
    ASSERT_NE(chain->ppBoneMatrixPtrs, nullptr);
    ASSERT_NE(chain->pBoneMatrices, nullptr);
    ID3DXSkinInfo* skin = chain->pSkinInfo;
    ASSERT_EQ(skin->GetNumBones(), 3u);
    for (DWORD i = 0; i < skin->GetNumBones(); ++i) {
        const std::string bone = skin->GetBoneName(i);
        CHierarchyFrame* frame = root->Find(bone.c_str());
        if (bone == "Ghost") {
            EXPECT_EQ(chain->ppBoneMatrixPtrs[i], nullptr);
        } else {
            ASSERT_NE(frame, nullptr) << bone;
            EXPECT_EQ(chain->ppBoneMatrixPtrs[i], &frame->matCombined) << bone;
        }
    }

    // Moving the frames' combined matrices and updating moves the skinned copy.
    root->Find("Bone0")->matCombined = Translation(0, 0, 3);
    root->Find("Bone1")->matCombined = Translation(0, 2, 0);
    ASSERT_EQ(UpdateSkinnedMesh(chain), S_OK);
    D3DXVECTOR3* v = nullptr;
    ASSERT_EQ(chain->pSkinnedMesh->LockVertexBuffer(D3DLOCK_READONLY, reinterpret_cast<void**>(&v)), S_OK);
    const DWORD stride = chain->pSkinnedMesh->GetNumBytesPerVertex() / sizeof(float);
    const D3DXVECTOR3 moved[3] = {v[0], *reinterpret_cast<D3DXVECTOR3*>(reinterpret_cast<float*>(v) + stride),
                                  *reinterpret_cast<D3DXVECTOR3*>(reinterpret_cast<float*>(v) + 2 * stride)};
    chain->pSkinnedMesh->UnlockVertexBuffer();
    EXPECT_EQ(moved[0], D3DXVECTOR3(0, 0, 3));
    EXPECT_EQ(moved[1], D3DXVECTOR3(0.5f, 1, 1.5f)); // half (1, 0, 3), half (1 - 1, 2, 0)
    EXPECT_EQ(moved[2], D3DXVECTOR3(-1, 3, 0));
}

// The platform builds a skin from the layout it has read when it meets the skin header: a file that
// gives its normals and texture coordinates after the skin data must still be skinned in the mesh's
// 32-byte vertices, each element left where it belongs.
TEST_F(HierarchyTest, ASkinAheadOfItsNormalsAndCoordinatesIsSkinnedInTheMeshLayout) {
    struct Vertex {
        D3DXVECTOR3 position;
        D3DXVECTOR3 normal;
        D3DXVECTOR2 uv;
    };
    const DWORD meshFvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;
    const std::vector<D3DXVECTOR3> positions = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 2}};
    const std::vector<D3DXVECTOR3> normals = {{0, 0, -1}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    const std::vector<D3DXVECTOR2> coords = {{0.125f, 0.25f}, {0.375f, 0.5f}, {0.625f, 0.75f}, {0.875f, 1}};
    const std::vector<xfile::Face> faces = {{0, 1, 2}, {0, 2, 3}};
    // Bone0 moves the first three vertices; the last has no bone.
    const std::string skin =
        xfile::SkinHeader(1, 1, 1) + xfile::SkinWeights("Bone0", {0, 1, 2}, {1, 1, 1}, Identity());
    const std::string mesh = xfile::Mesh(
        "Skin", positions, faces, skin + xfile::Normals(normals, faces) + xfile::TextureCoords(coords));
    ASSERT_EQ(Load(xfile::Header() + xfile::SkinTemplates() +
                   xfile::Frame("Body", xfile::Frame("Bone0", "") + mesh)),
              S_OK);
    ASSERT_NE(chain, nullptr);
    ASSERT_NE(chain->pSkinInfo, nullptr);
    ASSERT_NE(chain->pSkinnedMesh, nullptr);
    ASSERT_EQ(chain->MeshData.pMesh->GetFVF(), meshFvf);
    ASSERT_EQ(chain->pSkinnedMesh->GetFVF(), meshFvf);
    ASSERT_EQ(chain->pSkinnedMesh->GetNumVertices(), 4u);
    EXPECT_EQ(chain->pSkinInfo->GetFVF(), meshFvf) << "the skin describes the mesh's vertices";

    // A quarter turn about y, then (10, 20, 30): (x, y, z) goes to (z + 10, y + 20, 30 - x), a normal
    // (x, y, z) to (z, y, -x). Every figure is exact in floats.
    const D3DXMATRIX bone(0, 0, -1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 10, 20, 30, 1);
    root->Find("Bone0")->matCombined = bone;
    ASSERT_EQ(UpdateSkinnedMesh(chain), S_OK);

    Vertex* v = nullptr;
    ASSERT_EQ(chain->pSkinnedMesh->LockVertexBuffer(D3DLOCK_READONLY, reinterpret_cast<void**>(&v)), S_OK);
    const std::vector<Vertex> skinned(v, v + 4);
    chain->pSkinnedMesh->UnlockVertexBuffer();
    for (size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE("vertex " + std::to_string(i));
        const D3DXVECTOR3& p = positions[i];
        const D3DXVECTOR3& n = normals[i];
        const bool moved = i < 3;
        EXPECT_EQ(Figures(skinned[i].position),
                  Figures(moved ? D3DXVECTOR3(p.z + 10, p.y + 20, 30 - p.x) : p));
        EXPECT_EQ(Figures(skinned[i].normal), Figures(moved ? D3DXVECTOR3(n.z, n.y, -n.x) : n));
        EXPECT_EQ(Figures(skinned[i].uv), Figures(coords[i]));
    }
}

TEST_F(HierarchyTest, WithoutFramesNoBoneIsLinked) {
    ASSERT_EQ(Load(SkinnedFile(), true, false), S_OK);
    ASSERT_NE(chain, nullptr);
    EXPECT_EQ(chain->ppBoneMatrixPtrs, nullptr);
}

TEST_F(HierarchyTest, TheAttachedLoadHangsTheRootBesideTheGivenFrame) {
    WriteFileBytes(file.c_str(), SkinnedFile());
    CHierarchyFrame* anchor = new CHierarchyFrame();
    anchor->pFrameSibling = new CHierarchyFrame(); // replaced, not kept
    D3DXFRAME* old = anchor->pFrameSibling;
    ASSERT_EQ(LoadHierarchyFromXAttached(&chain, &root, anchor, g_pd3dDevice, file.c_str(), kTextures, 0,
                                         D3DXMESH_SYSTEMMEM),
              S_OK);
    ASSERT_NE(root, nullptr);
    ASSERT_NE(chain, nullptr);
    EXPECT_EQ(anchor->pFrameSibling, root);
    ASSERT_NE(chain->ppBoneMatrixPtrs, nullptr);
    EXPECT_NE(chain->ppBoneMatrixPtrs[0], nullptr) << "bones are linked as by LoadHierarchyFromX";
    delete static_cast<CHierarchyFrame*>(old);
    delete anchor; // deletes the root with it
    root = nullptr;

    // Without containers asked for, nothing is attached.
    CHierarchyFrame other;
    CHierarchyFrame* alone = nullptr;
    ASSERT_EQ(LoadHierarchyFromXAttached(nullptr, &alone, &other, g_pd3dDevice, file.c_str(), kTextures, 0,
                                         D3DXMESH_SYSTEMMEM),
              S_OK);
    EXPECT_NE(alone, nullptr);
    EXPECT_EQ(other.pFrameSibling, nullptr);
    delete alone;
}

// Records the objects a walk hands to it.
class RecordingParser : public CXFileParser {
public:
    int BeginParse(DWORD context) override {
        begun = context;
        return beginResult;
    }
    void EndParse(DWORD context) override { ended = context; }
    bool ParseObject(ID3DXFileData* data, ID3DXFileData* parent, DWORD depth, DWORD context,
                     bool isReference) override {
        char* name = GetFileDataName(data);
        seen.push_back(std::string(name ? name : "") + "@" + std::to_string(depth) +
                       (isReference ? "r" : "") + (parent ? "" : "^"));
        delete[] name;
        if (seen.size() == stopAfter) {
            return false;
        }
        return ParseChildObjects(data, depth, context, isReference);
    }

    int beginResult = 1;
    size_t stopAfter = 0;
    DWORD begun = 0;
    DWORD ended = 0;
    std::vector<std::string> seen;
};

TEST_F(HierarchyTest, TheParserWalksDepthFirstWithDepthsAndReferences) {
    const std::string text =
        xfile::Header() + xfile::Frame("A", xfile::Frame("B", "")) + xfile::Frame("C", xfile::Reference("A"));
    WriteFileBytes(file.c_str(), text);
    RecordingParser parser;
    EXPECT_EQ(parser.Load(file.c_str(), 77), 1);
    EXPECT_EQ(parser.begun, 77u);
    EXPECT_EQ(parser.ended, 77u);
    const std::vector<std::string> expected = {"A@0^", "B@1", "C@0^", "A@1r", "B@2r"};
    EXPECT_EQ(parser.seen, expected);

    RecordingParser stopping;
    stopping.stopAfter = 2;
    EXPECT_EQ(stopping.Load(file.c_str(), 0), 1);
    EXPECT_EQ(stopping.seen.size(), 2u) << "a false result ends the whole walk";
}

TEST_F(HierarchyTest, TheParserSkipsTheWalkUnlessBeginParseGivesOne) {
    WriteFileBytes(file.c_str(), xfile::Header() + xfile::Frame("A", ""));
    RecordingParser parser;
    parser.beginResult = 2;
    EXPECT_EQ(parser.Load(file.c_str(), 5), 1);
    EXPECT_TRUE(parser.seen.empty());
    EXPECT_EQ(parser.ended, 5u);
    EXPECT_EQ(parser.Load(nullptr, 5), 0);
    EXPECT_EQ(parser.Load("no such file.x", 5), 0);
}

TEST_F(HierarchyTest, DataObjectUtilities) {
    const D3DXMATRIX m = Translation(4, 5, 6);
    const std::string text =
        xfile::Header() + "FrameTransformMatrix Named {" + xfile::Matrix(m) + "}\n" + xfile::FrameMatrix(m);
    D3DXF_FILELOADMEMORY memory = {text.data(), text.size()};
    ID3DXFile* x = nullptr;
    ASSERT_EQ(D3DXFileCreate(&x), S_OK);
    ASSERT_EQ(x->RegisterTemplates(D3DRM_XTEMPLATES, D3DRM_XTEMPLATE_BYTES), S_OK);
    ID3DXFileEnumObject* objects = nullptr;
    ASSERT_EQ(x->CreateEnumObject(&memory, D3DXF_FILELOAD_FROMMEMORY, &objects), S_OK);
    ID3DXFileData* named = nullptr;
    ID3DXFileData* anonymous = nullptr;
    objects->GetChild(0, &named);
    objects->GetChild(1, &anonymous);
    ASSERT_NE(named, nullptr);
    ASSERT_NE(anonymous, nullptr);

    EXPECT_EQ(GetFileDataType(named), TID_D3DRMFrameTransformMatrix);
    char* name = GetFileDataName(named);
    ASSERT_NE(name, nullptr);
    EXPECT_STREQ(name, "Named");
    delete[] name;
    // An unnamed object: the platform reports the size of an empty name (its terminating zero).
    char* none = GetFileDataName(anonymous);
    ASSERT_NE(none, nullptr);
    EXPECT_STREQ(none, "");
    delete[] none;
    EXPECT_EQ(GetFileDataName(nullptr), nullptr);

    SIZE_T size = 0;
    BYTE* bytes = CopyFileData(named, &size);
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(size, sizeof(D3DXMATRIX));
    EXPECT_EQ(memcmp(bytes, &m, sizeof(m)), 0);
    delete[] bytes;
    bytes = CopyFileData(anonymous, nullptr);
    EXPECT_NE(bytes, nullptr);
    delete[] bytes;
    EXPECT_EQ(CopyFileData(nullptr, &size), nullptr);
    EXPECT_EQ(size, 0u);

    const void* locked = nullptr;
    ASSERT_EQ(named->Lock(&size, &locked), S_OK);
    UnlockFileData(named);

    anonymous->Release();
    named->Release();
    objects->Release();
    x->Release();
}

} // namespace
