"""assimp reads the sample .glb, .obj and .stl with the triangles the export
counted (the .obj's faces read raw are its quads), one material per surface
name and colour in material order, and the colours (written back out by assimp's own
OBJ exporter): linear in the .glb, as shown in the .obj. The .glb's joints are
bones of its meshes, one a joint.

    assimp_modern.py <assimp> <folder with the sample files and sample-modern.counts>
"""
import re
import subprocess
import sys

assimp, folder = sys.argv[1], sys.argv[2]
counts, materials = {}, {}  # materials: name -> (r, g, b), in order
for words in (line.split() for line in open(f"{folder}/sample-modern.counts", encoding="utf-8")):
    if words[0] == "material":
        materials[" ".join(words[1:-3])] = tuple(float(w) for w in words[-3:])
    else:
        counts[words[0]] = int(words[1])
failures = []


def run(*arguments):
    done = subprocess.run([assimp, *arguments], capture_output=True, text=True)
    if done.returncode != 0:
        sys.exit(f"assimp {' '.join(arguments)}: exit {done.returncode}\n{done.stdout}{done.stderr}")
    return done.stdout


def info(name, *options):
    """The counts assimp reports, and the materials it read (raw: the defaults it adds left out)."""
    text = run("info", f"{folder}/{name}", *options)
    names = [n for n in re.findall(r"^    '(.*)' \(prop\)", text, re.M) if n not in ("", "DefaultMaterial")]
    return {k: int(v) for k, v in re.findall(r"^(\w+):\s+(\d+)$", text, re.M)}, names


def colours(name):
    out = f"{folder}/assimp-{name.replace('.', '-')}.obj"
    run("export", f"{folder}/{name}", out)
    found, current = {}, None
    for line in open(out[:-4] + ".mtl", encoding="utf-8"):
        if line.startswith("newmtl "):
            current = line[len("newmtl "):].rstrip("\n")
        elif line.startswith("Kd "):
            found[current] = tuple(float(w) for w in line.split()[1:4])
    return found


def expect(what, got, wanted, near=False):
    # Colours: every material's (assimp may add a default one of its own).
    same = got == wanted if not near else all(
        n in got and max(abs(a - b) for a, b in zip(got[n], c)) < 1e-4 for n, c in wanted.items())
    print(f"{what}: {got}" + ("" if same else f"   EXPECTED {wanted}"))
    if not same:
        failures.append(what)


def linear(c):
    return c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4


# A name in two colours (the blue and the brown iris) is two materials.
expect("iris materials", sorted(n for n in materials if n.endswith("Iris")), ["Iris", "Right eye Iris"])
obj_names = {re.sub(r"\s", "_", n): rgb for n, rgb in materials.items()}
expect("glb triangles", info("sample.glb")[0]["Faces"], counts["triangles"])
expect("glb materials", info("sample.glb", "-r")[1], list(materials))
expect("glb colours (linear)", colours("sample.glb"), {n: tuple(map(linear, c)) for n, c in materials.items()}, True)
# assimp's XML dump names every mesh's bones.
run("export", f"{folder}/sample.glb", f"{folder}/assimp-sample-glb.assxml")
bones = set(re.findall(r'<Bone name="([^"]*)"', open(f"{folder}/assimp-sample-glb.assxml", encoding="utf-8").read()))
expect("glb bones (one a joint)", len(bones), counts["joints"])
expect("obj triangles", info("sample.obj")[0]["Faces"], counts["triangles"])
raw, raw_names = info("sample.obj", "-r")
expect("obj faces read raw (quads)", raw["Faces"], counts["quads"])
expect("obj materials", raw_names, list(obj_names))
expect("obj colours", colours("sample.obj"), obj_names, True)
# STL shares no corners: assimp's OBJ export joins equal positions back into
# the merged vertices, so a seam left with two sets of points would show here.
stl = info("sample.stl")[0]
expect("stl triangles", stl["Faces"], counts["triangles"])
run("export", f"{folder}/sample.stl", f"{folder}/assimp-sample-stl.obj")
joined = sum(1 for line in open(f"{folder}/assimp-sample-stl.obj", encoding="utf-8") if line.startswith("v "))
expect("stl vertices joined", joined, counts["vertices"])
sys.exit(1 if failures else 0)
