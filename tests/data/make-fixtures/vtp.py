# Writes VTK XML polydata fixtures in each DataArray layout, and damaged
# ones: python3 vtp.py tests/data/formats/vtp
import base64, struct, sys, os, zlib
out = sys.argv[1]
PACK = {'Float32': 'f', 'Float64': 'd', 'Int32': 'i', 'Int64': 'q', 'UInt8': 'B'}
points = [0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0, 0.5, 0.5, 1, 2, 0, 0]
arrays = [  # (parent, attributes, type, components, values)
    ('Points', '', 'Float32', 3, points),
    ('PointData', 'Name="Normals"', 'Float32', 3, [0, 0, 1] * 6),
    ('PointData', 'Name="rgb"', 'UInt8', 3, [255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0, 51, 51, 51, 0, 0, 0]),
    ('Polys', 'Name="connectivity"', 'Int64', 1, [0, 1, 2, 3, 0, 1, 4]),
    ('Polys', 'Name="offsets"', 'Int64', 1, [4, 7]),
    ('Strips', 'Name="connectivity"', 'Int32', 1, [1, 5, 2]),
    ('Strips', 'Name="offsets"', 'Int32', 1, [3]),
    ('Lines', 'Name="connectivity"', 'Int32', 1, [3, 4]),
    ('Lines', 'Name="offsets"', 'Int32', 1, [2]),
]

def raw(typ, values, order):
    return struct.pack(order + '%d%s' % (len(values), PACK[typ]), *values)

def block(data, order, header, zipped, block_size=16):
    h = order + ('Q' if header == 'UInt64' else 'I')
    if not zipped:
        return struct.pack(h, len(data)) + data
    chunks = [data[i:i + block_size] for i in range(0, len(data), block_size)] or [b'']
    packed = [zlib.compress(c) for c in chunks]
    last = len(chunks[-1]) if len(chunks[-1]) != block_size else 0
    return struct.pack(order + ('Q' if header == 'UInt64' else 'I') * (3 + len(packed)),
                       len(chunks), block_size, last, *map(len, packed)) + b''.join(packed)

def vtp(fmt, order='<', header='UInt32', zipped=False, appended_encoding='raw', tweak=None):
    byte_order = 'LittleEndian' if order == '<' else 'BigEndian'
    appended = b''
    parts = {}
    for parent, attrs, typ, comps, values in arrays:
        data = raw(typ, values, order)
        if fmt == 'ascii':
            body, extra = ' '.join('%g' % v for v in values), ''
        elif fmt == 'binary':
            b = block(data, order, header, zipped)
            if tweak: b = tweak(parent, attrs, b)
            body, extra = base64.b64encode(b).decode(), ''
        else:
            b = block(data, order, header, zipped)
            if tweak: b = tweak(parent, attrs, b)
            enc = base64.b64encode(b) if appended_encoding == 'base64' else b
            body, extra = '', ' offset="%d"' % len(appended)
            appended += enc
        parts.setdefault(parent, []).append(
            '<DataArray type="%s" %s NumberOfComponents="%d" format="%s"%s>%s</DataArray>' % (typ, attrs, comps, fmt, extra, body))
    pd = parts['PointData']
    xml = ('<?xml version="1.0"?>\n<VTKFile type="PolyData" version="1.0" byte_order="%s" header_type="%s"%s>\n'
           '<PolyData>\n<Piece NumberOfPoints="6" NumberOfVerts="0" NumberOfLines="1" NumberOfStrips="1" NumberOfPolys="2">\n'
           '<PointData Normals="Normals" Scalars="rgb">%s</PointData>\n' % (
               byte_order, header, ' compressor="vtkZLibDataCompressor"' if zipped else '', ''.join(pd)))
    for parent in ('Points', 'Polys', 'Strips', 'Lines'):
        xml += '<%s>%s</%s>\n' % (parent, ''.join(parts[parent]), parent)
    xml += '</Piece>\n</PolyData>\n'
    data = xml.encode()
    if fmt == 'appended':
        data += b'<AppendedData encoding="%s">\n_' % appended_encoding.encode() + appended + b'\n</AppendedData>\n'
    return data + b'</VTKFile>\n'

def inflate_beyond(parent, attrs, b):
    # The points' one block inflates to more than its header says.
    if parent != 'Points': return b
    packed = zlib.compress(bytes(200))
    return struct.pack('<4I', 1, 16, 16, len(packed)) + packed

def count_beyond(parent, attrs, b):
    return struct.pack('<I', 1 << 30) + b[4:] if parent == 'Points' else b

files = {
    'ascii.vtp': vtp('ascii'),
    'binary-base64.vtp': vtp('binary'),
    'binary-zlib-uint64-header.vtp': vtp('binary', header='UInt64', zipped=True),
    'appended-raw.vtp': vtp('appended'),
    'appended-base64-big-endian.vtp': vtp('appended', order='>', appended_encoding='base64'),
    'appended-raw-zlib.vtp': vtp('appended', zipped=True),
    'damaged-zlib-inflates-beyond-size.vtp': vtp('binary', zipped=True, tweak=inflate_beyond),
    'damaged-count-beyond-file.vtp': vtp('appended', tweak=count_beyond),
    'damaged-offsets-beyond-connectivity.vtp': vtp('ascii').replace(b'>4 7<', b'>4 70<'),
    'damaged-not-xml.vtp': vtp('ascii')[:300],
    'refused-image-data.vtp': b'<VTKFile type="ImageData"><ImageData/></VTKFile>\n',
}
for name, data in files.items():
    open(os.path.join(out, name), 'wb').write(data)
