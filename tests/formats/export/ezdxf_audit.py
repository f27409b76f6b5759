"""Reads an exported DXF with ezdxf, audits it and counts its 3DFACEs.

usage: ezdxf_audit.py <file.dxf> <file.counts>
The counts file holds a line "quads N"; the drawing must hold N 3DFACEs
and the audit must find no errors.
"""
import sys

import ezdxf


def main(dxf_path, counts_path):
    with open(counts_path) as counts:
        expected = dict(line.split() for line in counts if line.strip())
    quads = int(expected["quads"])

    doc = ezdxf.readfile(dxf_path)
    auditor = doc.audit()
    for error in auditor.errors:
        print("audit error:", error.message)
    faces = doc.modelspace().query("3DFACE")
    print(f"{len(faces)} 3DFACEs (expected {quads}), {len(auditor.errors)} audit errors, "
          f"{len(auditor.fixes)} fixes")
    # Every face is written with all four corners.
    incomplete = [face for face in faces if not all(face.dxf.hasattr(f"vtx{c}") for c in range(4))]
    if incomplete:
        print(f"{len(incomplete)} faces without four corners")
        return 1
    return 0 if auditor.has_errors is False and len(faces) == quads else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
