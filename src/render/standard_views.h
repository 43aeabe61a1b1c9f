#pragma once
// The views a user can ask for by name: the first view a model opens in,
// and the six views along its axes and the isometric one, each with the
// model's up axis pointing up the screen.

#include "model/shown.h"
#include "render/camera.h"
#include "settings/view_options.h"

enum class StandardView { First, Front, Back, Left, Right, Top, Bottom, Isometric };

// How far the first view looks down on the model, in degrees: enough that a
// model lying on its ground plane is not seen edge-on, little enough that
// an upright one is seen much as from the front.
constexpr float kFirstViewElevation = 30.0f;

// The camera's rotation set to the view; zoom and pan stay.
void setStandardView(Camera& camera, StandardView view, UpAxis up);
// The first view of a world: from the front and a little above. A model
// without depth along one of its axes (a plan or map on the ground, a sheet
// standing upright) is seen square along that axis instead: from the top,
// the front or the right, so that all of it shows.
StandardView firstViewOf(const World& world, UpAxis up);

// The first picture of what is shown: its first view, framed afresh (no
// zoom, no pan) and fitted whole to the drawing area.
void showFirstView(Camera& camera, const Shown& shown, const ViewOptions& options, UpAxis up);
