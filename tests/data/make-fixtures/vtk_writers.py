#!/usr/bin/python3
"""Writes tests/data/real/vtp/ and tests/data/real/vtk/sphere-strips-binary.vtk with
VTK's own writers (Debian's python3-vtk9, from scripts/install-check-tools.sh):
files as VTK itself makes them, not as our fixture scripts imagine them.
Run from the repository's top: /usr/bin/python3 tests/data/make-fixtures/vtk_writers.py"""
import vtkmodules.all as vtk

# The teapot of tests/data/real/stl, its equal corners merged and normals computed.
stl = vtk.vtkSTLReader()
stl.SetFileName('tests/data/real/stl/teapot.stl')
clean = vtk.vtkCleanPolyData()
clean.SetInputConnection(stl.GetOutputPort())
normals = vtk.vtkPolyDataNormals()
normals.SetInputConnection(clean.GetOutputPort())
normals.Update()
for name, mode, zlib in [('teapot-binary-zlib.vtp', 'binary', True), ('teapot-appended.vtp', 'appended', False)]:
    writer = vtk.vtkXMLPolyDataWriter()
    writer.SetFileName('tests/data/real/vtp/' + name)
    writer.SetInputData(normals.GetOutput())
    writer.SetDataModeToBinary() if mode == 'binary' else writer.SetDataModeToAppended()
    writer.SetCompressorTypeToZLib() if zlib else writer.SetCompressorTypeToNone()
    if mode == 'appended':
        writer.EncodeAppendedDataOff()  # raw bytes after the underscore
    writer.Write()

# A sphere in triangle strips, in the XML default (appended, base64, zlib) and legacy binary.
sphere = vtk.vtkSphereSource()
sphere.SetThetaResolution(12)
sphere.SetPhiResolution(8)
strips = vtk.vtkStripper()
strips.SetInputConnection(sphere.GetOutputPort())
strips.Update()
xml = vtk.vtkXMLPolyDataWriter()
xml.SetFileName('tests/data/real/vtp/sphere-strips.vtp')
xml.SetInputData(strips.GetOutput())
xml.Write()
legacy = vtk.vtkPolyDataWriter()
legacy.SetFileName('tests/data/real/vtk/sphere-strips-binary.vtk')
legacy.SetInputData(strips.GetOutput())
legacy.SetFileTypeToBinary()
legacy.Write()
