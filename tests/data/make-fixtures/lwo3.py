# Writes LWO3 fixtures from the chunk layout LightWave 2018 files use.
import struct, sys, os
out = sys.argv[1]
def chunk(tag, data):
    b = tag + struct.pack('>I', len(data)) + data
    return b + (b'\0' if len(data) & 1 else b'')
def form(type_, *parts):
    return chunk(b'FORM', type_ + b''.join(parts))
def s0(t):
    b = t.encode() + b'\0'
    return b + (b'\0' if len(b) & 1 else b'')
def f32(*v): return struct.pack('>%df' % len(v), *v)
def f64(*v): return struct.pack('>%dd' % len(v), *v)
def u16(*v): return struct.pack('>%dH' % len(v), *v)
def u32(*v): return struct.pack('>%dI' % len(v), *v)
def entry(name, values):
    kind = b'vparam3\0' if len(values) == 3 else b'vparam\0\0'
    return form(b'ENTR', chunk(b'NAME', s0(name)),
                form(b'VALU', chunk(b'    ', kind), form(b'VALU', chunk(b'    ', u32(len(values)) + f64(*values)))))
def node(kind, *entries):
    return form(b'NTAG', chunk(b'NRNM', s0(kind)), chunk(b'NNME', s0(kind + ' (1)')),
                form(b'NDTA', form(b'SATR', form(b'META', chunk(b'VERS', u32(1)), form(b'ADAT', *entries)))))
def surface(name, *parts):
    return form(b'SURF', chunk(b'    ', s0(name) + s0('')), *parts)
def lwo3(*chunks):
    body = b'LWO3' + b''.join(chunks)
    return b'FORM' + struct.pack('>I', len(body)) + body
pts = chunk(b'PNTS', f32(0,0,0, 1,0,0, 1,1,0, 0,1,0, 0,0,1))
pols = chunk(b'POLS', b'FACE' + u16(4, 0,1,2,3) + u16(3, 0,1,4) + u16(3, 1,2,4))
tags = chunk(b'TAGS', s0('Red') + s0('Glass') + s0('Plain'))
ptag = chunk(b'PTAG', b'SURF' + u16(0,0, 1,1, 2,2))
layr = chunk(b'LAYR', u16(0, 0) + f32(0,0,0) + s0('') )
nodes = lambda *n: form(b'NODS', form(b'NNDS', *n))
red = surface('Red', nodes(node('Color Layer', entry('Color', (0, 0, 1))), node('Principled BSDF', entry('Color', (0.8, 0.1, 0.05)), entry('Transparency', (0.0,)))))
glass = surface('Glass', chunk(b'VERS', u32(1)), nodes(node('Standard', entry('Color', (0.2, 0.4, 0.6)), entry('Transparency', (0.75,)))))
plain = surface('Plain', form(b'COLR', chunk(b'    ', f32(0.25, 0.5, 1.0) + u16(0))))
def deep(n):
    inner = node('Standard', entry('Color', (0, 1, 0)))
    for _ in range(n): inner = form(b'NODS', inner)
    return inner
files = {
  'lwo3-geometry-surface-colours.lwo': lwo3(tags, layr, pts, pols, ptag, red, glass, plain),
  # The surface's FORM says it runs past the file's form: the model keeps its geometry? no, the walk refuses it.
  'lwo3-damaged-form-beyond-end.lwo': lwo3(tags, layr, pts, pols, ptag, red[:4] + struct.pack('>I', 10**6) + red[8:]),
  # A node value's FORM overruns its surface: the surface is left out, the geometry kept.
  'lwo3-damaged-node-overrun.lwo': lwo3(tags, layr, pts, pols, ptag, surface('Red', form(b'NODS', b'FORM' + u32(4000) + b'NTAG'))),
  # Points stated beyond the file.
  'lwo3-damaged-points-beyond-file.lwo': lwo3(tags, layr, b'PNTS' + u32(1 << 30) + f32(0, 0, 0)),
  # Forms nested far deeper than writers nest: the surface is kept, its colour not looked for there.
  'lwo3-deep-nesting.lwo': lwo3(tags, layr, pts, pols, ptag, surface('Red', deep(40))),
}
for name, data in files.items():
    open(os.path.join(out, name), 'wb').write(data)
