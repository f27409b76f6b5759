"""The rigged .glb skinned by hand, with nothing of the writer's: the
container and JSON read here, the joints' global matrices built from the
node hierarchy, every vertex moved by linear blend skinning. In the rest
pose the skin leaves every vertex exactly where POSITION has it; a posed
.glb lands on the .obj written from the figure posed in the model, vertex
for vertex within 1e-4 m, once both stand the same way (the .obj is placed
by its own bounds: centred in x and z, feet on y = 0).

    glb_skinning.py <rest.glb> [<posed.glb> <posed.obj>]...
"""
import json
import struct
import sys

import numpy as np

TOLERANCE = 1e-4
COMPONENTS = {"SCALAR": 1, "VEC2": 2, "VEC3": 3, "VEC4": 4, "MAT4": 16}
DTYPES = {5121: "<u1", 5123: "<u2", 5125: "<u4", 5126: "<f4"}
failures = []


def read_glb(path):
    data = open(path, "rb").read()
    magic, version, length = struct.unpack_from("<4sII", data, 0)
    assert magic == b"glTF" and version == 2 and length == len(data), f"{path}: not a glTF 2 binary"
    chunks, at = {}, 12
    while at < length:
        size, kind = struct.unpack_from("<II", data, at)
        chunks[kind] = data[at + 8:at + 8 + size]
        at += 8 + size
    return json.loads(chunks[0x4E4F534A]), chunks[0x004E4942]


def accessor(gltf, binary, index):
    a = gltf["accessors"][index]
    view = gltf["bufferViews"][a["bufferView"]]
    assert "byteStride" not in view, "only tightly packed attributes are read here"
    width = COMPONENTS[a["type"]]
    start = view.get("byteOffset", 0) + a.get("byteOffset", 0)
    return np.frombuffer(binary, DTYPES[a["componentType"]], a["count"] * width, start).reshape(a["count"], width)


def local_matrix(node):
    assert "matrix" not in node and "scale" not in node, "only translations and rotations are read here"
    x, y, z, w = node.get("rotation", [0, 0, 0, 1])
    m = np.eye(4)
    m[:3, :3] = [[1 - 2 * (y * y + z * z), 2 * (x * y - z * w), 2 * (x * z + y * w)],
                 [2 * (x * y + z * w), 1 - 2 * (x * x + z * z), 2 * (y * z - x * w)],
                 [2 * (x * z - y * w), 2 * (y * z + x * w), 1 - 2 * (x * x + y * y)]]
    m[:3, 3] = node.get("translation", [0, 0, 0])
    return m


def global_matrices(gltf):
    nodes = gltf["nodes"]
    parent = {c: n for n, node in enumerate(nodes) for c in node.get("children", [])}
    found = {}

    def of(n):
        if n not in found:
            found[n] = (of(parent[n]) if n in parent else np.eye(4)) @ local_matrix(nodes[n])
        return found[n]
    return [of(n) for n in range(len(nodes))]


def skinned(path):
    """POSITION, the skinned positions and the triangles."""
    gltf, binary = read_glb(path)
    (mesh_node,) = [n for n in gltf["nodes"] if "mesh" in n]
    skin = gltf["skins"][mesh_node["skin"]]
    joints = skin["joints"]
    inverse_binds = accessor(gltf, binary, skin["inverseBindMatrices"]).astype(float).reshape(-1, 4, 4)
    inverse_binds = inverse_binds.transpose(0, 2, 1)  # column-major
    globals_ = global_matrices(gltf)
    joint_matrices = np.array([globals_[n] for n in joints]) @ inverse_binds
    primitives = gltf["meshes"][mesh_node["mesh"]]["primitives"]
    attributes = primitives[0]["attributes"]
    for p in primitives:
        assert all(p["attributes"][k] == attributes[k] for k in ("POSITION", "JOINTS_0", "WEIGHTS_0")), path
    positions = accessor(gltf, binary, attributes["POSITION"]).astype(float)
    vertex_joints = accessor(gltf, binary, attributes["JOINTS_0"]).astype(int)
    weights = accessor(gltf, binary, attributes["WEIGHTS_0"]).astype(float)
    blend = np.einsum("vk,vkij->vij", weights, joint_matrices[vertex_joints])
    homogeneous = np.hstack([positions, np.ones((len(positions), 1))])
    moved = np.einsum("vij,vj->vi", blend, homogeneous)[:, :3]
    triangles = np.vstack([accessor(gltf, binary, p["indices"]).reshape(-1, 3) for p in primitives])
    return positions, moved, triangles


def canonical(triangles):
    """Each triangle turned to start at its smallest corner, all sorted: the index structure."""
    t = np.asarray(triangles)
    turn = np.argmin(t, axis=1)
    t = np.array([np.roll(row, -k) for row, k in zip(t, turn)])
    return t[np.lexsort(t.T[::-1])]


def read_obj(path):
    vertices, triangles = [], []
    for line in open(path, encoding="utf-8"):
        words = line.split()
        if words and words[0] == "v":
            vertices.append([float(w) for w in words[1:4]])
        elif words and words[0] == "f":
            corners = [int(w.split("/")[0]) - 1 for w in words[1:]]
            triangles += [[corners[0], corners[k], corners[k + 1]] for k in range(1, len(corners) - 1)]
    return np.array(vertices), triangles


def placed(points):
    low, high = points.min(axis=0), points.max(axis=0)
    return points - np.array([(low[0] + high[0]) / 2, low[1], (low[2] + high[2]) / 2])


def expect(what, good, detail):
    print(f"{what}: {detail}" + ("" if good else "   FAILED"))
    if not good:
        failures.append(what)


rest = sys.argv[1]
positions, moved, _ = skinned(rest)
deviation = np.abs(moved - positions).max()
expect(f"{rest} skinned in its rest pose", deviation == 0, f"largest move {deviation:.3g} m over {len(positions)} vertices")
for glb, obj in zip(sys.argv[2::2], sys.argv[3::2]):
    positions, moved, triangles = skinned(glb)
    obj_vertices, obj_triangles = read_obj(obj)
    expect(f"{obj} vertices", len(obj_vertices) == len(positions), f"{len(obj_vertices)}, the .glb {len(positions)}")
    if len(obj_vertices) != len(positions):
        continue
    # Matching by number holds only when both files list the vertices in one order.
    same = np.array_equal(canonical(triangles), canonical(obj_triangles))
    expect(f"{obj} triangles on the same vertex numbers", same, f"{len(triangles)} triangles")
    moved_here = np.abs(placed(moved) - obj_vertices).max(axis=1)
    worst = int(np.argmax(moved_here))
    expect(f"{glb} skinned against {obj}", moved_here[worst] <= TOLERANCE,
           f"largest deviation {moved_here[worst]:.3g} m (vertex {worst}); "
           f"largest move from rest {np.abs(moved - positions).max():.3g} m")
sys.exit(1 if failures else 0)
