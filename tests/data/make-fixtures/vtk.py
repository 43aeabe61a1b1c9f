# Writes VTK legacy fixtures, each as text and as its binary twin from one
# description, and damaged binary files: python3 vtk.py tests/data/formats/vtk
import struct, sys, os
out = sys.argv[1]
PACK = {'float': 'f', 'double': 'd', 'int': 'i', 'vtktypeint64': 'q', 'vtktypeint32': 'i', 'unsigned_char': 'B'}

def section(head, values, typ, binary, per_line=12):
    if binary:
        return head.encode() + b'\n' + struct.pack('>%d%s' % (len(values), PACK[typ]), *values) + b'\n'
    rows = [' '.join('%g' % v for v in values[i:i + per_line]) for i in range(0, len(values), per_line)]
    return (head + '\n' + '\n'.join(rows) + '\n').encode()

def cells(kind, lists, layout, binary):
    if layout == 'legacy':
        flat = [v for c in lists for v in [len(c)] + c]
        return section('%s %d %d' % (kind, len(lists), len(flat)), flat, 'int', binary)
    offsets = [0]
    for c in lists: offsets.append(offsets[-1] + len(c))
    conn = [v for c in lists for v in c]
    return (('%s %d %d\n' % (kind, len(offsets), len(conn))).encode() +
            section('OFFSETS ' + layout, offsets, layout, binary) + section('CONNECTIVITY ' + layout, conn, layout, binary))

def vtk(desc, binary):
    version = '5.1' if desc['layout'] != 'legacy' else '3.0'
    text = ('# vtk DataFile Version %s\n%s\n%s\nDATASET POLYDATA\n' %
            (version, desc['title'], 'BINARY' if binary else 'ASCII')).encode()
    pts = [v for p in desc['points'] for v in p]
    text += section('POINTS %d %s' % (len(desc['points']), desc['type']), pts, desc['type'], binary)
    for kind in ('VERTICES', 'LINES', 'POLYGONS', 'TRIANGLE_STRIPS'):
        if kind in desc: text += cells(kind, desc[kind], desc['layout'], binary)
    for place, data in desc.get('data', []):
        text += ('%s %d\n' % (place, data['count'])).encode()
        for name, values, width in data['parts']:
            if name == 'COLOR_SCALARS':
                if binary:
                    text += section('COLOR_SCALARS c %d' % width, [round(v * 255) for v in values], 'unsigned_char', True)
                else:
                    text += section('COLOR_SCALARS c %d' % width, values, 'float', False)
            elif name == 'NORMALS':
                text += section('NORMALS n ' + desc['type'], values, desc['type'], binary)
            elif name == 'TEXTURE_COORDINATES':
                text += section('TEXTURE_COORDINATES t %d %s' % (width, desc['type']), values, desc['type'], binary)
            elif name == 'SCALARS':
                text += section('SCALARS s float 1\nLOOKUP_TABLE default', values, 'float', binary)
            elif name == 'FIELD':
                text += section('FIELD FieldData 1\nweight 1 %d double' % len(values), values, 'double', binary)
    return text

square = [(0, 0, 0), (1, 0, 0), (1, 1, 0), (0, 1, 0), (0.5, 0.5, 1), (2, 0, 0), (2, 1, 0)]
twins = {
  'float-legacy-cells': dict(title='float legacy', type='float', layout='legacy', points=square,
      VERTICES=[[4]], LINES=[[0, 4, 2]], POLYGONS=[[0, 1, 2, 3], [0, 1, 4]],
      data=[('CELL_DATA', dict(count=4, parts=[('SCALARS', [1, 2, 3, 4], 1),
                                               ('COLOR_SCALARS', [1, 0, 0, 0, 1, 0, 0, 0, 1, 1, 1, 0], 3)])),
            ('POINT_DATA', dict(count=7, parts=[('NORMALS', [0, 0, 1] * 7, 3),
                                                ('FIELD', [0.5] * 7, 1),
                                                ('TEXTURE_COORDINATES', [0, 0, 1, 0, 1, 1, 0, 1, 0.5, 0.5, 1, 0, 1, 1], 2)]))]),
  'double-offsets-int64': dict(title='double 5.1', type='double', layout='vtktypeint64', points=square,
      POLYGONS=[[0, 1, 2, 3], [1, 5, 6, 2]], LINES=[[3, 4]],
      data=[('POINT_DATA', dict(count=7, parts=[('COLOR_SCALARS', [1, 0.2, 0, 1] * 7, 4)]))]),
  'strips-offsets-int32': dict(title='strips', type='float', layout='vtktypeint32', points=square,
      POLYGONS=[[0, 1, 4]], TRIANGLE_STRIPS=[[0, 1, 3, 2, 6], [1, 5, 2]],
      data=[('CELL_DATA', dict(count=3, parts=[('COLOR_SCALARS', [1, 0, 0, 0, 1, 0, 0, 0, 1], 3)]))]),
}
for name, desc in twins.items():
    open(os.path.join(out, name + '-text.vtk'), 'wb').write(vtk(desc, False))
    open(os.path.join(out, name + '-binary.vtk'), 'wb').write(vtk(desc, True))

good = vtk(twins['float-legacy-cells'], True)
head = good[:good.index(b'POINTS')]
damaged = {
  # Counts far beyond the bytes there.
  'binary-damaged-points-beyond-file.vtk': head + b'POINTS 1000000000 float\n' + struct.pack('>3f', 0, 0, 0),
  'binary-damaged-polygons-beyond-file.vtk': head + section('POINTS 3 float', [0, 0, 0, 1, 0, 0, 0, 1, 0], 'float', True)
      + b'POLYGONS 1 2000000000\n' + struct.pack('>4i', 3, 0, 1, 2),
  # A cell's count runs past its section's size.
  'binary-damaged-cell-overruns-size.vtk': head + section('POINTS 3 float', [0, 0, 0, 1, 0, 0, 0, 1, 0], 'float', True)
      + section('POLYGONS 1 4', [9, 0, 1, 2], 'int', True),
  # Offsets that go back, and an index past 32 bits.
  'binary-damaged-offsets-go-back.vtk': head + section('POINTS 3 float', [0, 0, 0, 1, 0, 0, 0, 1, 0], 'float', True)
      + b'POLYGONS 3 3\n' + section('OFFSETS vtktypeint64', [0, 3, 2], 'vtktypeint64', True)
      + section('CONNECTIVITY vtktypeint64', [0, 1, 2], 'vtktypeint64', True),
  'binary-index-beyond-32-bits.vtk': head + section('POINTS 3 float', [0, 0, 0, 1, 0, 0, 0, 1, 0], 'float', True)
      + b'POLYGONS 3 6\n' + section('OFFSETS vtktypeint64', [0, 3, 6], 'vtktypeint64', True)
      + section('CONNECTIVITY vtktypeint64', [0, 1, 2, 0, 1, 1 << 40], 'vtktypeint64', True),
  # Colours stated for more points than the file holds: the geometry is kept.
  'binary-damaged-colours-beyond-file.vtk': good[:good.index(b'POINT_DATA')] + b'POINT_DATA 7\nCOLOR_SCALARS c 4\n\x01\x02',
  # An unknown value type.
  'binary-damaged-unknown-type.vtk': head + b'POINTS 3 quad\n' + bytes(36),
}
for name, data in damaged.items():
    open(os.path.join(out, name), 'wb').write(data)
