/* A virtual camera for the capture tests: a GStreamer device provider that
 * lists one "Video/Source" device whose element is a live test pattern
 * (videotestsrc). Loaded through GST_PLUGIN_PATH, it makes Qt Multimedia list
 * a camera, start it and deliver real frames without a kernel module. */
#include <gst/gst.h>

/* What the camera offers: three sizes, so the format dialog has a choice. */
static const char *const camera_caps =
    "video/x-raw,format=I420,width=640,height=480,framerate=30/1;"
    "video/x-raw,format=I420,width=1280,height=720,framerate=30/1;"
    "video/x-raw,format=I420,width=320,height=240,framerate=15/1";

#define QVX_TYPE_CAMERA_DEVICE (qvx_camera_device_get_type())
G_DECLARE_FINAL_TYPE(QvxCameraDevice, qvx_camera_device, QVX, CAMERA_DEVICE, GstDevice)

struct _QvxCameraDevice
{
    GstDevice parent;
};

G_DEFINE_TYPE(QvxCameraDevice, qvx_camera_device, GST_TYPE_DEVICE)

static GstElement *qvx_camera_device_create_element(GstDevice *device, const gchar *name)
{
    (void)device;
    GstElement *source = gst_element_factory_make("videotestsrc", name);
    if (source)
        g_object_set(source, "is-live", TRUE, NULL);
    return source;
}

static void qvx_camera_device_class_init(QvxCameraDeviceClass *klass)
{
    GST_DEVICE_CLASS(klass)->create_element = qvx_camera_device_create_element;
}

static void qvx_camera_device_init(QvxCameraDevice *self)
{
    (void)self;
}

#define QVX_TYPE_CAMERA_PROVIDER (qvx_camera_provider_get_type())
G_DECLARE_FINAL_TYPE(QvxCameraProvider, qvx_camera_provider, QVX, CAMERA_PROVIDER, GstDeviceProvider)

struct _QvxCameraProvider
{
    GstDeviceProvider parent;
};

G_DEFINE_TYPE(QvxCameraProvider, qvx_camera_provider, GST_TYPE_DEVICE_PROVIDER)

static GList *qvx_camera_provider_probe(GstDeviceProvider *provider)
{
    (void)provider;
    GstCaps *caps = gst_caps_from_string(camera_caps);
    GstStructure *properties = gst_structure_new("quorvex-virtual-camera", "device.path", G_TYPE_STRING,
                                                 "/dev/quorvex-virtual0", NULL);
    GstDevice *device = g_object_new(QVX_TYPE_CAMERA_DEVICE, "display-name", "Quorvex Virtual Camera",
                                     "device-class", "Video/Source", "caps", caps, "properties", properties,
                                     NULL);
    gst_caps_unref(caps);
    gst_structure_free(properties);
    return g_list_append(NULL, device);
}

static void qvx_camera_provider_class_init(QvxCameraProviderClass *klass)
{
    GstDeviceProviderClass *provider_class = GST_DEVICE_PROVIDER_CLASS(klass);
    provider_class->probe = qvx_camera_provider_probe;
    gst_device_provider_class_set_static_metadata(provider_class, "Quorvex virtual camera", "Source/Video",
                                                  "Lists one camera that shows a test pattern", "Quorvex");
}

static void qvx_camera_provider_init(QvxCameraProvider *self)
{
    (void)self;
}

static gboolean plugin_init(GstPlugin *plugin)
{
    return gst_device_provider_register(plugin, "quorvexvirtualcamera", GST_RANK_PRIMARY,
                                        QVX_TYPE_CAMERA_PROVIDER);
}

#define PACKAGE "quorvex"
GST_PLUGIN_DEFINE(GST_VERSION_MAJOR, GST_VERSION_MINOR, quorvexvirtualcamera,
                  "A test-pattern camera for the Quorvex tests", plugin_init, "1.0", "LGPL", "quorvex",
                  "https://quorvex.example")
